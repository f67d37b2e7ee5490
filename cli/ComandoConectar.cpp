// bascora-cli conectar: the connect test of the main window without windows. Prints the state
// texts; exit status 0 when the indicator answered.
#include <QTextStream>

#include "link/Conectar.h"
#include "cli/Comandos.h"
#include "cli/InteraccionTerminal.h"
#include "link/EnlaceDirecto.h"

namespace {

int Conectar(const QStringList& argumentos) {
    QTextStream salida(stdout);
    if (!argumentos.isEmpty()) {
        QTextStream(stderr) << "uso: bascora-cli [--carpeta DIR] conectar\n";
        return 2;
    }
    EnlaceDirecto enlace;
    InteraccionTerminal operador;
    const bool conectado = ComandoConectar(enlace, operador, [&salida](const QString& estado) {
        salida << estado << "\n";
        salida.flush();
    });
    return conectado ? 0 : 1;
}

}  // namespace

BASCORA_COMANDO("conectar", "conectar", Conectar);
