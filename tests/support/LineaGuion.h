#pragma once
// A line for frame-level tests: records every frame sent and the answer length awaited, and answers
// from a queue. "*" answers a read correctly with each register's value = its address; "eco"
// echoes the frame; an empty entry (or an empty queue) is silence.

#include <QByteArray>
#include <QList>

#include "link/Tramas.h"
#include "link/Transporte.h"

class LineaGuion : public Transporte {
  public:
    bool Abrir() override { return true; }
    void Cerrar() override {}
    QByteArray Intercambiar(const QByteArray& trama, int esperados) override {
        enviadas.append(trama);
        esperas.append(esperados);
        if (respuestas.isEmpty()) return {};
        QByteArray r = respuestas.takeFirst();
        if (r == "eco") return trama;
        if (r == "*") {
            const int dir = quint8(trama.at(2)) << 8 | quint8(trama.at(3));
            const int n = quint8(trama.at(5));
            r = QByteArray(1, trama.at(0)) + '\x03' + char(2 * n);
            for (int i = 0; i < n; ++i) r += char((dir + i) >> 8), r += char((dir + i) & 0xFF);
            r += crc16(r);
        }
        return r;
    }
    QList<QByteArray> respuestas, enviadas;
    QList<int> esperas;
};
