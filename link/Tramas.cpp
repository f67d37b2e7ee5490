#include "link/Tramas.h"

#include <array>

#include "link/Transporte.h"
#include "settings/Idioma.h"

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

namespace {

JuicioRespuesta Juicio(Veredicto v, const QString& motivo) {
    return {v, motivo};
}

// Length first: a short answer is a wait that ran out, a long one is malformed.
bool JuzgarLargo(const QByteArray& respuesta, int largo, JuicioRespuesta* juicio) {
    if (respuesta.isEmpty()) {
        *juicio = Juicio(
            Veredicto::SinRespuesta,
            TextoIdioma(QStringLiteral("002005"), QStringLiteral("Sin respuesta del indicador")));
        return false;
    }
    if (respuesta.size() < largo) {
        // An exception answer is short but well formed: name its code.
        if (respuesta.size() == 5 && (quint8(respuesta.at(1)) & 0x80) && CrcValido(respuesta)) {
            *juicio = Juicio(Veredicto::SinRespuesta,
                             TextoIdioma(QStringLiteral("002013"),
                                         QStringLiteral("Excepción del indicador (código %1)"))
                                 .arg(quint8(respuesta.at(2))));
            return false;
        }
        *juicio = Juicio(Veredicto::SinRespuesta,
                         TextoIdioma(QStringLiteral("002006"),
                                     QStringLiteral("Respuesta incompleta (%1 de %2 bytes)"))
                             .arg(respuesta.size())
                             .arg(largo));
        return false;
    }
    if (respuesta.size() > largo) {
        *juicio = Juicio(Veredicto::Malformada,
                         TextoIdioma(QStringLiteral("002007"),
                                     QStringLiteral("Respuesta demasiado larga (%1 de %2 bytes)"))
                             .arg(respuesta.size())
                             .arg(largo));
        return false;
    }
    return true;
}

bool JuzgarCabecera(const QByteArray& respuesta, int id, int funcion, JuicioRespuesta* juicio) {
    if (!CrcValido(respuesta)) {
        *juicio = Juicio(
            Veredicto::CrcMalo,
            TextoIdioma(QStringLiteral("002008"), QStringLiteral("Error de CRC en la respuesta")));
        return false;
    }
    const int esclavo = quint8(respuesta.at(0));
    if (id != 0 && esclavo != id) {
        *juicio = Juicio(Veredicto::Malformada,
                         TextoIdioma(QStringLiteral("002009"),
                                     QStringLiteral("Respuesta de otra dirección de esclavo (%1)"))
                             .arg(esclavo));
        return false;
    }
    if (quint8(respuesta.at(1)) != funcion) {
        *juicio = Juicio(Veredicto::Malformada,
                         TextoIdioma(QStringLiteral("002010"),
                                     QStringLiteral("Código de función inesperado (%1)"))
                             .arg(quint8(respuesta.at(1))));
        return false;
    }
    return true;
}

}  // namespace

JuicioRespuesta JuzgarLectura(const QByteArray& respuesta, int id, int cantidad) {
    JuicioRespuesta juicio;
    if (!JuzgarLargo(respuesta, 5 + 2 * cantidad, &juicio) ||
        !JuzgarCabecera(respuesta, id, 3, &juicio))
        return juicio;
    if (quint8(respuesta.at(2)) != 2 * cantidad) {
        return Juicio(Veredicto::Malformada,
                      TextoIdioma(QStringLiteral("002011"),
                                  QStringLiteral("Cantidad de bytes inesperada (%1)"))
                          .arg(quint8(respuesta.at(2))));
    }
    return juicio;
}

JuicioRespuesta JuzgarEscritura(const QByteArray& respuesta, const QByteArray& trama) {
    JuicioRespuesta juicio;
    if (!JuzgarLargo(respuesta, 8, &juicio) ||
        !JuzgarCabecera(respuesta, quint8(trama.at(0)), 6, &juicio))
        return juicio;
    // Register and value as sent: an echo of anything else is not this write's.
    if (respuesta.mid(2, 4) != trama.mid(2, 4)) {
        const int registro = quint8(respuesta.at(2)) << 8 | quint8(respuesta.at(3));
        return Juicio(Veredicto::Malformada,
                      TextoIdioma(QStringLiteral("002012"),
                                  QStringLiteral("El eco no coincide con lo escrito (registro %1)"))
                          .arg(registro));
    }
    return juicio;
}

JuicioRespuesta JuzgarComando(const QByteArray& respuesta) {
    JuicioRespuesta juicio;
    JuzgarLargo(respuesta, kLargoRespuestaComando, &juicio);
    return juicio;
}

QByteArray RxD(Transporte& linea, int id, int direccion, int cantidad) {
    if (cantidad < 1 || cantidad > kMaxRegistrosPorTrama) return {};
    const QByteArray trama = TramaLectura(id, direccion, cantidad);
    if (trama.isEmpty()) return {};
    const QByteArray respuesta = linea.Intercambiar(trama, 5 + 2 * cantidad);
    const JuicioRespuesta juicio = JuzgarLectura(respuesta, id, cantidad);
    linea.Juzgar(juicio);
    if (juicio.veredicto != Veredicto::Buena) return {};
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
    const JuicioRespuesta juicio = JuzgarEscritura(respuesta, trama);
    linea.Juzgar(juicio);
    if (juicio.veredicto != Veredicto::Buena) return {};
    QByteArray eco(2, '\0');
    eco[0] = respuesta.at(5);
    eco[1] = respuesta.at(4);
    return eco;
}

QByteArray TRxC(Transporte& linea, const QByteArray& comando) {
    const QByteArray trama = ':' + comando + "\r\n";
    const QByteArray respuesta = linea.Intercambiar(trama, kLargoRespuestaComando);
    const JuicioRespuesta juicio = JuzgarComando(respuesta);
    linea.Juzgar(juicio);
    if (juicio.veredicto != Veredicto::Buena) return {};
    return respuesta;
}
