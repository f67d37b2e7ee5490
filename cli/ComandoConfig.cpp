// bascora-cli config: read or write one setting of bascora.ini the way the program does (closing
// ".", optional scramble), e.g. so an installer can write the "BaseDeDatos" connection settings.
#include <QTextStream>

#include "cli/Comandos.h"
#include "settings/ArchivoIni.h"
#include "settings/Config.h"

namespace {

int UsoConfig(QTextStream& error, const QString& motivo) {
    error << "bascora-cli config: " << motivo << "\n"
          << "uso: bascora-cli [--carpeta DIR] config leer SECCION CLAVE [--cifrado]\n"
          << "     bascora-cli [--carpeta DIR] config guardar SECCION CLAVE VALOR [--cifrado]\n";
    return 2;
}

int Config(const QStringList& argumentos) {
    QTextStream salida(stdout);
    QTextStream error(stderr);
    QStringList resto = argumentos;
    const bool cifrado = resto.removeAll(QStringLiteral("--cifrado")) > 0;
    for (const QString& a : resto) {
        if (a.startsWith(QStringLiteral("--"))) return UsoConfig(error, "unknown option " + a);
    }
    if (resto.isEmpty()) return UsoConfig(error, QStringLiteral("missing leer or guardar"));
    const QString accion = resto.takeFirst();
    if (accion == QStringLiteral("leer")) {
        if (resto.size() != 2) return UsoConfig(error, QStringLiteral("leer needs SECCION CLAVE"));
        // A missing key reads as the empty text, as an empty default would in the program.
        salida << LeerConfig(resto.at(0), resto.at(1), QString(), cifrado) << "\n";
        return 0;
    }
    if (accion == QStringLiteral("guardar")) {
        if (resto.size() != 3) {
            return UsoConfig(error, QStringLiteral("guardar needs SECCION CLAVE VALOR"));
        }
        if (resto.at(0).isEmpty() || resto.at(1).isEmpty()) {
            return UsoConfig(error, QStringLiteral("SECCION and CLAVE cannot be empty"));
        }
        // The program's store refuses what it cannot keep as given and checks every write; an
        // installer must know when the value is not there.
        QString motivo;
        if (!GuardarConfig(resto.at(0), resto.at(1), resto.at(2), cifrado, false, &motivo)) {
            error << "bascora-cli config: could not write [" << resto.at(0) << "] " << resto.at(1)
                  << " in " << RutaEnCarpetaDatos(QStringLiteral("bascora.ini")) << ": " << motivo
                  << "\n";
            return 1;
        }
        return 0;
    }
    return UsoConfig(error, "unknown action " + accion);
}

}  // namespace

BASCORA_COMANDO(
    "config",
    "config leer SECCION CLAVE [--cifrado] | config guardar SECCION CLAVE VALOR [--cifrado]",
    Config);
