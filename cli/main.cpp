// bascora-cli: the program's core without windows. "--carpeta DIR" selects the data folder (by
// default the working directory); the first remaining word names the command.
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

#include "base/Globales.h"
#include "cli/Comandos.h"
#include "link/EnlaceDirecto.h"
#include "settings/ContextoCarpeta.h"
#include "settings/ValoresGlobales.h"

namespace {

QList<ComandoCli>& Registro() {
    static QList<ComandoCli> comandos;
    return comandos;
}

int MostrarUso(QTextStream& salida) {
    salida << "uso: bascora-cli [--carpeta DIR] [-v] COMANDO ...\n";
    salida << "     bascora-cli --version\n";
    for (const ComandoCli& c : Comandos()) salida << "  " << c.uso << "\n";
    return 2;
}

}  // namespace

bool RegistrarComando(ComandoCli comando) {
    Registro().append(std::move(comando));
    return true;
}

const QList<ComandoCli>& Comandos() {
    return Registro();
}

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream error(stderr);
    QStringList argumentos = app.arguments().mid(1);
    // -v: the link's counts on stderr after the command (frames, answers, failures, retries).
    const bool detallado = argumentos.removeAll(QStringLiteral("-v")) > 0;

    const int iCarpeta = argumentos.indexOf(QStringLiteral("--carpeta"));
    if (iCarpeta >= 0) {
        if (iCarpeta + 1 >= argumentos.size()) {
            error << "--carpeta needs a folder\n";
            return 2;
        }
        const QString carpeta = argumentos.at(iCarpeta + 1);
        argumentos.remove(iCarpeta, 2);
        // Only provisioning makes a folder: a mistyped one must not look like an empty setup.
        const bool preparar = argumentos.value(0) == QLatin1String("preparar");
        if (!QFileInfo(carpeta).isDir() && !(preparar && QDir().mkpath(carpeta))) {
            error << "the data folder does not exist: " << carpeta << "\n";
            return 2;
        }
        if (!QDir::setCurrent(carpeta)) {
            error << "cannot use the data folder " << carpeta << "\n";
            return 2;
        }
    }
    if (argumentos.isEmpty()) return MostrarUso(error);
    if (argumentos.first() == QLatin1String("--version")) {
        QTextStream(stdout) << "bascora-cli " << BASCORA_VERSION_MAJOR << "."
                            << BASCORA_VERSION_MINOR << "." << BASCORA_VERSION_REVISION << "\n";
        return 0;
    }

    ContextoCarpeta::iniciar(QDir::currentPath());
    CargarValoresGlobales();
    const QString nombre = argumentos.takeFirst();
    for (const ComandoCli& c : Comandos()) {
        if (c.nombre != nombre) continue;
        const int estado = c.ejecutar(argumentos);
        const QString salud = ResumenSalud(EnlaceDirecto::SaludDelProceso());
        if (detallado && !salud.isEmpty()) error << salud << "\n";
        return estado;
    }
    error << "unknown command: " << nombre << "\n";
    return MostrarUso(error);
}
