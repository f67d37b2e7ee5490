#pragma once
// One decoded weighing of the indicator's audit memory.

#include <QString>
#include <array>

struct Pesada {
    QString Fecha;                  // "dd/mm/yy" as the BCD bytes give it, e.g. "24/12/05"
    QString Hora;                   // "hh:mm", e.g. "09:30"
    double Peso = 0;                // already divided by 10^Decimales_1
    std::array<QString, 5> Codigo;  // Codigo1 .. Codigo5 (index j - 1)
    int Numero = 0;                 // position in this download, from 1
    long long Lote = 0;             // batch number of this download
    long long Secuencia = 0;        // indicator-wide weighing number
};
