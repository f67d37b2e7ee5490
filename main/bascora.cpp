// bascora: the desktop program. "--carpeta DIR" selects the data folder (by default the working
// directory, where bascora.ini, Idioma.cfg and the database live).
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <cstdio>

#include "app/Recursos.h"
#include "app/ui/Arranque.h"
#include "app/ui/FrmPrincipal.h"
#include "app/ui/FrmSplash.h"
#include "app/ui/Iconos.h"
#include "base/Globales.h"
#include "settings/Config.h"
#include "settings/ContextoCarpeta.h"
#include "settings/Idioma.h"
#include "settings/ValoresGlobales.h"

namespace {

bool HayPantalla() {
    return qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY") ||
           qEnvironmentVariableIsSet("QT_QPA_PLATFORM");
}

// The folder named after "--carpeta"; empty when the option is not there. `falta` is set when the
// option has no folder after it.
QString CarpetaPedida(int argc, char** argv, bool* falta) {
    *falta = false;
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "--carpeta") != 0) continue;
        if (i + 1 >= argc) {
            *falta = true;
            return QString();
        }
        return QString::fromLocal8Bit(argv[i + 1]);
    }
    return QString();
}

void Fallo(const QString& texto) {
    std::fprintf(stderr, "bascora: %s\n", qPrintable(texto));
    // Someone started from a desktop launcher sees no terminal; a headless platform has no one
    // to close the box.
    const QString plataforma = QGuiApplication::platformName();
    if (plataforma != QLatin1String("offscreen") && plataforma != QLatin1String("minimal")) {
        QMessageBox::critical(nullptr, TituloPrograma(), texto);
    }
}

}  // namespace

int main(int argc, char** argv) {
    // Answered before the display check: installers and scripts ask on machines without one.
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "--version") != 0) continue;
        std::printf("bascora %d.%d.%d\n", BASCORA_VERSION_MAJOR, BASCORA_VERSION_MINOR,
                    BASCORA_VERSION_REVISION);
        return 0;
    }
    if (!HayPantalla()) {
        std::fprintf(stderr,
                     "bascora: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
                     "Run it inside a virtual X server, for example:\n"
                     "    xvfb-run -a %s%s\n"
                     "or, from the source folder: xvfb-run -a make run\n",
                     argv[0], argc > 1 ? " ..." : "");
        return 1;
    }
    bool falta = false;
    const QString carpeta = CarpetaPedida(argc, argv, &falta);

    QApplication app(argc, argv);
    QApplication::setApplicationName(TituloPrograma());
    QApplication::setOrganizationName(TituloPrograma());
    QApplication::setWindowIcon(IconoPrograma());
    QApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                            .arg(BASCORA_VERSION_MAJOR)
                                            .arg(BASCORA_VERSION_MINOR)
                                            .arg(BASCORA_VERSION_REVISION));

    if (falta) {
        Fallo(QStringLiteral("--carpeta needs the path of the data folder."));
        return 2;
    }
    if (!carpeta.isEmpty()) {
        if (!QFileInfo(carpeta).isDir()) {
            Fallo(QStringLiteral("The data folder %1 does not exist.").arg(carpeta));
            return 2;
        }
        if (!QDir::setCurrent(carpeta)) {
            Fallo(QStringLiteral("Cannot use the data folder %1.").arg(carpeta));
            return 2;
        }
    }

    ContextoCarpeta::iniciar(QDir::currentPath());
    // Qt's own texts (buttons, dialogs) in the language of the data folder, before any window.
    AplicarIdiomaQt();
    FrmSplash splash;
    splash.MostrarYa();

    CargarValoresGlobales();
    // The register map is made of constants; nothing to assign at run time.
    const long long inicioAuto =
        ValorEntero(LeerConfig(QStringLiteral("Global"), QStringLiteral("InicioAuto"), QString()));

    if (inicioAuto != 0 && AbrirVentanaAuto()) {
        splash.close();
        return app.exec();
    }

    // The splash stays up until the first connection attempt is over.
    VentanaPrincipal().Abrir();
    splash.close();
    return app.exec();
}
