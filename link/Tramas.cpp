#include "link/Tramas.h"

#include <array>

#include "link/Transporte.h"

namespace {

// The two byte tables of the Modbus standard, built once from the reflected polynomial.
struct TablasCrc {
    std::array<quint8, 256> alta{};
    std::array<quint8, 256> baja{};
    TablasCrc() {
        for (int i = 0; i < 256; ++i) {
            quint16 c = quint16(i);
            for (int b = 0; b < 8; ++b) c = (c & 1) ? quint16((c >> 1) ^ 0xA001) : quint16(c >> 1);
            baja[size_t(i)] = quint8(c & 0xFF);
            alta[size_t(i)] = quint8(c >> 8);
        }
    }
};

const TablasCrc& Tablas() {
    static const TablasCrc t;
    return t;
}

bool CrcValido(const QByteArray& respuesta) {
    const qsizetype n = respuesta.size();
    if (n < 3) return false;
    return crc16(respuesta.left(n - 2)) == respuesta.right(2);
}

}  // namespace

QByteArray crc16(const QByteArray& mensaje) {
    const TablasCrc& t = Tablas();
    quint8 lo = 0xFF, hi = 0xFF;
    for (char c : mensaje) {
        const quint8 i = lo ^ quint8(c);
        lo = hi ^ t.baja[i];
        hi = t.alta[i];
    }
    QByteArray r(2, '\0');
    r[0] = char(lo);
    r[1] = char(hi);
    return r;
}

QByteArray TramaLectura(int id, int direccion, int cantidad) {
    if (id < 0 || id > 255 || direccion < 0 || direccion > 65535 || cantidad < 1 || cantidad > 125)
        return {};
    QByteArray t;
    t.reserve(8);
    t.append(char(id));
    t.append(char(3));
    t.append(char(direccion >> 8));
    t.append(char(direccion & 0xFF));
    t.append(char(0));
    t.append(char(cantidad));
    t.append(crc16(t));
    return t;
}

QByteArray TramaEscritura(int id, int direccion, const QByteArray& dato) {
    if (id < 0 || id > 255 || direccion < 0 || direccion > 65535 || dato.size() != 2) return {};
    QByteArray t;
    t.reserve(8);
    t.append(char(id));
    t.append(char(6));
    t.append(char(direccion >> 8));
    t.append(char(direccion & 0xFF));
    t.append(dato.at(1));  // value high byte = second character
    t.append(dato.at(0));
    t.append(crc16(t));
    return t;
}

QByteArray RxD(Transporte& linea, int id, int direccion, int cantidad) {
    if (cantidad < 1 || cantidad > kMaxRegistrosPorTrama) return {};
    const QByteArray trama = TramaLectura(id, direccion, cantidad);
    if (trama.isEmpty()) return {};
    const int largo = 5 + 2 * cantidad;
    const QByteArray respuesta = linea.Intercambiar(trama, largo);
    if (respuesta.size() != largo || !CrcValido(respuesta)) return {};
    // Address, function and byte count are not compared with the request.
    QByteArray dato(2 * cantidad, '\0');
    for (int i = 0; i < cantidad; ++i) {
        dato[2 * i] = respuesta.at(3 + 2 * i + 1);
        dato[2 * i + 1] = respuesta.at(3 + 2 * i);
    }
    return dato;
}

QByteArray TxD(Transporte& linea, int id, int direccion, const QByteArray& dato) {
    const QByteArray trama = TramaEscritura(id, direccion, dato);
    if (trama.isEmpty()) return {};
    const QByteArray respuesta = linea.Intercambiar(trama, 8);
    if (respuesta.size() != 8 || !CrcValido(respuesta)) return {};
    // The echo is not compared with the value sent: a well-formed answer is success.
    QByteArray eco(2, '\0');
    eco[0] = respuesta.at(5);
    eco[1] = respuesta.at(4);
    return eco;
}

QByteArray TRxC(Transporte& linea, const QByteArray& comando) {
    const QByteArray trama = ':' + comando + "\r\n";
    const QByteArray respuesta = linea.Intercambiar(trama, kLargoRespuestaComando);
    if (respuesta.size() != kLargoRespuestaComando) return {};
    return respuesta;
}
