#pragma once
// The settings store: single text values in bascora.ini of the current directory (or, with EnBase,
// in the global variables table). Values are written with a closing "." and read back without it.

#include <QList>
#include <QString>
#include <utility>

QString LeerConfig(const QString& Seccion, const QString& Clave, const QString& Defecto,
                   bool Cifrado = false, bool EnBase = false);

void GuardarConfig(const QString& Seccion, const QString& Clave, const QString& Valor,
                   bool Cifrado = false, bool EnBase = false);
// Numbers are stored as plain decimal text ("5" is stored as "5.").
void GuardarConfig(const QString& Seccion, const QString& Clave, long long Valor,
                   bool Cifrado = false, bool EnBase = false);
inline void GuardarConfig(const QString& Seccion, const QString& Clave, int Valor,
                          bool Cifrado = false, bool EnBase = false) {
    GuardarConfig(Seccion, Clave, static_cast<long long>(Valor), Cifrado, EnBase);
}
inline void GuardarConfig(const QString& Seccion, const QString& Clave, const char* Valor,
                          bool Cifrado = false, bool EnBase = false) {
    GuardarConfig(Seccion, Clave, QString::fromUtf8(Valor), Cifrado, EnBase);
}

// Several values of one section of bascora.ini in one rewrite of the file (same stored form as
// GuardarConfig, keys written in the order given).
void GuardarConfigSeccion(const QString& Seccion,
                          const QList<std::pair<QString, QString>>& Valores);

// Character i of the result has the Windows-1252 code of character i of Texto XOR Mascara.
QString CifrarTexto(const QString& Texto, int Mascara);

// Reads one value of a private-profile file with the store's rules (255-character buffer, closing
// character dropped); Defecto when the file, the key or the value is missing. The message lookup
// uses it too.
QString LeerValorPerfil(const QString& ruta, const QString& seccion, const QString& clave,
                        const QString& defecto);

// Integer value of a setting text the way the program reads numbers: the leading number of the
// text (blanks skipped, an optional sign, then digits), 0 when there is none.
long long ValorEntero(const QString& texto);
