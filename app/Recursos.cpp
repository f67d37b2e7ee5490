#include "app/Recursos.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString TituloPrograma() {
    return QStringLiteral("Bascora");
}

QString RutaRecursos() {
    const QString entorno = qEnvironmentVariable("BASCORA_RECURSOS");
    if (!entorno.isEmpty()) return QDir::cleanPath(entorno);
    // Without an application object there is no executable path to start from.
    if (QCoreApplication::instance()) {
        const QString junto =
            QDir::cleanPath(QCoreApplication::applicationDirPath() + "/../share/bascora");
        if (QFileInfo(junto).isDir()) return junto;
    }
    const QString fuente = QStringLiteral(BASCORA_RECURSOS_FUENTE);
    if (QFileInfo(fuente).isDir()) return fuente;
    return QStringLiteral(BASCORA_RECURSOS_INSTALADOS);
}

QString RutaAyuda() {
    const QStringList candidatas = {
        QDir::current().filePath(QStringLiteral("ayuda/index.html")),
        RutaRecursos() + QStringLiteral("/ayuda/index.html"),
    };
    for (const QString& ruta : candidatas) {
        const QFileInfo info(ruta);
        if (info.isFile() && info.isReadable()) return info.absoluteFilePath();
    }
    return QString();
}
