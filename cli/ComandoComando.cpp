// bascora-cli comando TEXTO: the ":" command exchange (":M" gives the 90 setup bytes).
#include <QTextStream>

#include "cli/Comandos.h"
#include "link/EnlaceDirecto.h"
#include "link/Volcado.h"
#include "settings/Cp1252.h"

namespace {

int ComandoComando(const QStringList& args) {
    QTextStream salida(stdout), error(stderr);
    if (args.size() != 1 || args.at(0).isEmpty()) {
        error << "uso: comando TEXTO (for example: comando M)\n";
        return 2;
    }
    EnlaceDirecto enlace;
    PeticionEnlace p;
    p.Modo = QStringLiteral("C");
    p.Dato = AAnsi(args.at(0));
    enlace.Solicitar(p);
    salida << VolcadoBytes(p.Dato);
    salida.flush();
    error << "Reintentos = 0\n";  // a command is sent once
    if (p.Dato.size() != 90) {
        error << "no 90-byte answer\n";
        return 1;
    }
    return 0;
}

}  // namespace

BASCORA_COMANDO("comando", "comando TEXTO", ComandoComando);
