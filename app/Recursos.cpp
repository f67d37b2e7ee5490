#include "app/Recursos.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "settings/ContextoCarpeta.h"
#include "settings/Idioma.h"

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

namespace {

// The help's subfolder for `local`: none for Spanish, the pages' own language; else the language
// code ("en").
QString SubcarpetaAyuda(const QLocale& local) {
    if (local.language() == QLocale::Spanish) return QString();
    return QLocale::languageToCode(local.language()) + u'/';
}

}  // namespace

QString RutaAyuda() {
    const ContextoCarpeta& datos = ContextoCarpeta::actual();
    QStringList candidatas;
    // The language in use first; a language without pages of its own gets the Spanish ones.
    for (const QString& sub : {SubcarpetaAyuda(LocalePrograma()), QString()}) {
        const QString pagina = QStringLiteral("ayuda/") + sub + QStringLiteral("index.html");
        candidatas << datos.ruta(pagina) << RutaRecursos() + u'/' + pagina;
    }
    for (const QString& ruta : candidatas) {
        const QFileInfo info(ruta);
        if (info.isFile() && info.isReadable()) return info.absoluteFilePath();
    }
    return QString();
}
