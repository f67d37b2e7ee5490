#include "link/Registros.h"

#include "base/Globales.h"
#include "link/Tramas.h"
#include "link/Transporte.h"
#include "settings/Config.h"

namespace {

bool Cancelado(const ControlRegistros& c) {
    return c.cancelado && c.cancelado->load(std::memory_order_relaxed);
}

void Progreso(const ControlRegistros& c, qint64 hecho, qint64 total) {
    if (c.progreso) c.progreso(int(100 * hecho / total));
}

// A try after the first of a frame.
void ContarIntento(const ControlRegistros& c, int intento) {
    if (intento > 0 && c.reintentos) ++*c.reintentos;
}

}  // namespace

int LeerIdEsclavo() {
    return int(ValorEntero(
        LeerConfig(QStringLiteral("global"), QStringLiteral("ID_1"), QStringLiteral("0"))));
}

QByteArray Leer(Transporte& linea, int id, qint64 direccion, qint64 longitud,
                const ControlRegistros& control) {
    QByteArray resultado;
    if (longitud < 1 || direccion < 0) return resultado;
    const qint64 bloques = (longitud - 1) / kMaxRegistrosPorTrama + 1;
    resultado.reserve(qsizetype(2 * qMin<qint64>(longitud, 65536)));
    for (qint64 i = 1; i <= bloques; ++i) {
        const qint64 dir = direccion + kMaxRegistrosPorTrama * (i - 1);
        const int tam = i < bloques ? kMaxRegistrosPorTrama
                                    : int(longitud - kMaxRegistrosPorTrama * (bloques - 1));
        QByteArray bloque;
        // A block past the last register cannot be asked for: it fails without a frame.
        const bool enRango = dir + tam - 1 <= 65535;
        int intento = 0;
        for (; enRango && bloque.isEmpty() && intento < kIntentosPorTrama && !Cancelado(control);
             ++intento) {
            ContarIntento(control, intento);
            bloque = RxD(linea, id, int(dir), tam);
            ++Reintentos;
        }
        if (intento > 0) --Reintentos;
        const bool fallo = bloque.isEmpty();
        resultado += bloque;
        Progreso(control, i, bloques);
        if (fallo || Cancelado(control)) break;
    }
    return resultado;
}

QByteArray Escribir(Transporte& linea, int id, qint64 direccion, QByteArray dato,
                    const ControlRegistros& control) {
    if (dato.size() % 2) dato.append('\0');
    const qint64 n = dato.size() / 2;
    QByteArray resultado;
    if (direccion < 0) return resultado;
    resultado.reserve(dato.size());
    for (qint64 i = 1; i <= n; ++i) {
        const qint64 dir = direccion + (i - 1);
        const QByteArray valor = dato.mid(qsizetype(2 * (i - 1)), 2);
        QByteArray eco;
        const bool enRango = dir <= 65535;
        int intento = 0;
        for (; enRango && eco.isEmpty() && intento < kIntentosPorTrama && !Cancelado(control);
             ++intento) {
            ContarIntento(control, intento);
            eco = TxD(linea, id, int(dir), valor);
            ++Reintentos;
        }
        if (intento > 0) --Reintentos;
        const bool fallo = eco.isEmpty();
        resultado += eco;
        Progreso(control, i, n);
        if (fallo || Cancelado(control)) return QByteArray();
    }
    return resultado;
}
