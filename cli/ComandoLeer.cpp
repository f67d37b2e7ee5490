// bascora-cli leer DIRECCION LONGITUD: reads registers with the program's link settings.
#include <QTextStream>

#include "base/Globales.h"
#include "cli/Comandos.h"
#include "link/EnlaceDirecto.h"
#include "link/Volcado.h"

namespace {

int ComandoLeer(const QStringList& args) {
    QTextStream salida(stdout), error(stderr);
    bool okD = false, okL = false;
    const int direccion = args.value(0).toInt(&okD);
    const int longitud = args.value(1).toInt(&okL);
    if (args.size() != 2 || !okD || !okL || direccion < 0 || direccion > 65535 || longitud < 1 ||
        direccion + longitud - 1 > 65535) {
        error << "uso: leer DIRECCION LONGITUD (registers 0-65535, LONGITUD at least 1)\n";
        return 2;
    }
    EnlaceDirecto enlace;
    PeticionEnlace p;
    p.Modo = QStringLiteral("R");
    p.Direccion = QString::number(direccion);
    p.Longitud = QString::number(longitud);
    Reintentos = 0;
    enlace.Solicitar(p);
    salida << VolcadoRegistros(direccion, p.Dato);
    salida.flush();
    error << "Reintentos = " << Reintentos.load() << "\n";
    if (!p.Exito) {
        error << "read failed: " << p.Dato.size() / 2 << " of " << longitud
              << " registers received\n";
        return 1;
    }
    return 0;
}

}  // namespace

BASCORA_COMANDO("leer", "leer DIRECCION LONGITUD", ComandoLeer);
