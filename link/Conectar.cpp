#include "link/Conectar.h"

#include <QLoggingCategory>

#include "base/Globales.h"
#include "base/Interaccion.h"
#include "link/Enlace.h"
#include "settings/Config.h"
#include "settings/Idioma.h"

Q_LOGGING_CATEGORY(lcConectar, "bascora.conectar")

namespace {

constexpr int kRegistrosPeso = 8;
constexpr int kLargoSetup = 90;

}  // namespace

bool GuardarSetup(const QByteArray& respuesta) {
    if (respuesta.size() != kLargoSetup) return false;
    // b(n) numbered from 1 as the indicator documents its setup block.
    auto b = [&respuesta](int n) -> long long { return quint8(respuesta.at(n - 1)); };
    auto tresBytes = [&b](int n) { return b(n) + 256 * b(n + 1) + 65536 * b(n + 2); };
    QList<std::pair<QString, QString>> claves;
    auto guardar = [&claves](int clave, long long valor) {
        claves.append({QString::number(clave), QString::number(valor)});
    };
    // Two calibration records of 13 bytes: three single bytes, three 24-bit numbers, one byte.
    for (int k = 0; k < 2; ++k) {
        const int base = 13 * k;
        const int clave = 7 * k;
        guardar(clave + 1, b(base + 1));
        guardar(clave + 2, b(base + 2));
        guardar(clave + 3, b(base + 3));
        guardar(clave + 4, tresBytes(base + 4));
        guardar(clave + 5, tresBytes(base + 7));
        guardar(clave + 6, tresBytes(base + 10));
        guardar(clave + 7, b(base + 13));
    }
    for (int i = 0; i <= 63; ++i) guardar(15 + i, b(27 + i));
    // One rewrite of the file instead of 78.
    GuardarConfigSeccion(QStringLiteral("Setup"), claves);
    return true;
}

int conec(Enlace& enlace) {
    // The link window says what is going on: looking for the indicator, not sending data.
    const QString leyenda = TextoIdioma(QStringLiteral("002026"), QStringLiteral("Conectando..."));
    QByteArray dato;
    LeerRegistros(enlace, DirPeso, kRegistrosPeso, &dato, leyenda);
    if (dato.size() == 2 * kRegistrosPeso) return 1;

    qCDebug(lcConectar) << "no weight block:" << dato.size() << "bytes; trying :M";
    const QByteArray setup = EnviarComando(enlace, QByteArrayLiteral("M"), leyenda);
    if (!GuardarSetup(setup)) {
        qCInfo(lcConectar) << "indicator not reached; :M gave" << setup.size() << "bytes";
        return 0;
    }
    return 1;
}

bool ComandoConectar(Enlace& enlace, Interaccion& interaccion,
                     std::function<void(const QString&)> mostrarEstado) {
    auto estado = [&mostrarEstado](const QString& texto) {
        if (mostrarEstado) mostrarEstado(texto);
    };
    estado(TextoIdioma("005029", "Conectando..."));
    if (conec(enlace) == 1) {
        estado(TextoIdioma("005030", "Estado: Conectado"));
        return true;
    }
    interaccion.Avisar(
        TextoIdioma("005031", "No se puede establecer la comunicacion con el indicador"),
        TextoIdioma("005032", "Error"), Icono::Error);
    estado(TextoIdioma("005033", "Estado: Desconectado"));
    return false;
}
