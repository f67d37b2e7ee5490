#include "settings/Idioma.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLibraryInfo>
#include <QTranslator>
#include <memory>
#include <optional>
#include <vector>

#include "settings/Config.h"
#include "settings/ContextoCarpeta.h"

QString TextoIdioma(const QString& Id, const QString& Defecto) {
    const auto contexto = ContextoCarpeta::compartido();
    return LeerValorPerfil(contexto->ruta(QStringLiteral("Idioma.cfg")), QStringLiteral("Idioma"),
                           Id, Defecto);
}

QLocale LocalePrograma() {
    const QLocale espanol(QLocale::Spanish, QLocale::Spain);
    const QString nombre = TextoIdioma(QStringLiteral("QtIdioma"), QString()).trimmed();
    if (nombre.isEmpty()) return espanol;
    const QLocale local(nombre);
    // An unknown name gives the C locale: the file names no language we can honour.
    return local.language() == QLocale::C ? espanol : local;
}

namespace {

// Qt's catalogs with texts an operator can see: dialogs and standard buttons, serial port errors.
const char* const kCatalogosQt[] = {"qtbase", "qtserialport"};

struct TraduccionesQt {
    std::vector<std::unique_ptr<QTranslator>> instaladas;
    std::optional<QLocale> localeCargado;    // the locale the installed catalogs are for
    std::optional<QLocale> defectoAnterior;  // before the first change, to put it back
};

TraduccionesQt& Traducciones() {
    static TraduccionesQt t;
    return t;
}

// Removes the installed catalogs; true when there was any (Qt then tells every window).
bool QuitarCatalogos(TraduccionesQt& t) {
    const bool habia = !t.instaladas.empty();
    for (const auto& traductor : t.instaladas) QCoreApplication::removeTranslator(traductor.get());
    t.instaladas.clear();
    t.localeCargado.reset();
    return habia;
}

// Installs Qt's catalogs for `local` that exist on this system; true when any was installed.
bool InstalarCatalogos(TraduccionesQt& t, const QLocale& local) {
    const QString carpeta = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    for (const char* catalogo : kCatalogosQt) {
        auto traductor = std::make_unique<QTranslator>();
        if (!traductor->load(local, QString::fromLatin1(catalogo), QStringLiteral("_"), carpeta))
            continue;
        if (QCoreApplication::installTranslator(traductor.get()))
            t.instaladas.push_back(std::move(traductor));
    }
    t.localeCargado = local;
    return !t.instaladas.empty();
}

bool SinBlancoDespues(QChar c) {
    return c == u'(' || c == u'[' || c == u'\n' || c == u'\r';
}

bool SinBlancoAntes(QChar c) {
    return QStringView(u").],:;?!\n\r").contains(c);
}

}  // namespace

void AplicarIdiomaQt() {
    TraduccionesQt& t = Traducciones();
    const QLocale local = LocalePrograma();
    if (!t.defectoAnterior) t.defectoAnterior = QLocale();
    QLocale::setDefault(local);
    if (!QCoreApplication::instance()) return;

    bool avisado = false;
    if (t.localeCargado != local) {
        avisado = QuitarCatalogos(t);
        avisado = InstalarCatalogos(t, local) || avisado;
    }
    // Same Qt texts as before (or none to install): the program's own texts may still have
    // changed, so the windows are told all the same.
    if (!avisado) {
        QEvent cambio(QEvent::LanguageChange);
        QCoreApplication::sendEvent(QCoreApplication::instance(), &cambio);
    }
}

void QuitarIdiomaQt() {
    TraduccionesQt& t = Traducciones();
    if (QCoreApplication::instance()) QuitarCatalogos(t);
    if (t.defectoAnterior) QLocale::setDefault(*t.defectoAnterior);
    t.defectoAnterior.reset();
}

QString Frase(std::initializer_list<QString> partes) {
    QString frase;
    for (const QString& texto : partes) {
        QStringView parte(texto);
        if (!frase.isEmpty())
            while (parte.startsWith(u' ')) parte = parte.mid(1);
        if (parte.isEmpty()) continue;
        while (frase.endsWith(u' ')) frase.chop(1);
        if (!frase.isEmpty() && !SinBlancoDespues(frase.back()) && !SinBlancoAntes(parte.front()))
            frase += u' ';
        frase += parte;
    }
    return frase;
}
