// bascora-cli escribir DIRECCION BYTE...: writes register data (bytes in the link's order, low
// byte of each register first; an odd count gets a zero high byte).
#include <QTextStream>

#include "base/Globales.h"
#include "cli/Comandos.h"
#include "link/EnlaceDirecto.h"
#include "link/Volcado.h"

namespace {

int ComandoEscribir(const QStringList& args) {
    QTextStream salida(stdout), error(stderr);
    bool okD = false;
    const int direccion = args.value(0).toInt(&okD);
    QByteArray dato;
    bool okB = args.size() >= 2;
    for (qsizetype i = 1; okB && i < args.size(); ++i) {
        quint8 b = 0;
        okB = LeerByte(args.at(i), &b);
        dato.append(char(b));
    }
    if (!okD || !okB || direccion < 0 || direccion + (dato.size() + 1) / 2 - 1 > 65535) {
        error << "uso: escribir DIRECCION BYTE... (bytes 0-255 or 0x00-0xFF, low byte first)\n";
        return 2;
    }
    EnlaceDirecto enlace;
    PeticionEnlace p;
    p.Modo = QStringLiteral("T");
    p.Direccion = QString::number(direccion);
    p.Dato = dato;
    Reintentos = 0;
    enlace.Solicitar(p);
    error << "Reintentos = " << Reintentos.load() << "\n";
    if (!p.Exito) {
        error << "write failed\n";  // nothing on stdout: scripts must not take it as written
        return 1;
    }
    if (dato.size() % 2) dato.append('\0');
    salida << VolcadoRegistros(direccion, dato);
    return 0;
}

}  // namespace

BASCORA_COMANDO("escribir", "escribir DIRECCION BYTE...", ComandoEscribir);
