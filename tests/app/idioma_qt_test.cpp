// Qt's own texts, the help and the open windows follow the language in use.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDirIterator>
#include <QFileInfo>
#include <QLabel>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTimer>
#include <QTranslator>

#include "app/Recursos.h"
#include "app/ui/FrmAyuda.h"
#include "app/ui/FrmPrincipal.h"
#include "app/ui/FrmSplash.h"
#include "app/ui/InteraccionVentanas.h"
#include "settings/Idioma.h"
#include "tests/support/CarpetaTemporal.h"
#include "tests/support/InteraccionGuion.h"

namespace {

const QString kRecursos = QStringLiteral(BASCORA_DIR_FUENTE "/share");

QByteArray Ingles() {
    QFile archivo(kRecursos + QStringLiteral("/English.idm"));
    return archivo.open(QIODevice::ReadOnly) ? archivo.readAll() : QByteArray();
}

// Counts the language changes that reach it.
class Sonda : public QWidget {
  public:
    int cambios = 0;

  protected:
    void changeEvent(QEvent* evento) override {
        if (evento->type() == QEvent::LanguageChange) ++cambios;
        QWidget::changeEvent(evento);
    }
};

// The change events are posted: let them arrive.
void Entregar() {
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

class IdiomaQt : public ::testing::Test {
  protected:
    void SetUp() override {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, ajustes_.path());
        qputenv("BASCORA_RECURSOS", kRecursos.toLocal8Bit());
    }
    void TearDown() override {
        QuitarIdiomaQt();
        qunsetenv("BASCORA_RECURSOS");
    }
    // Makes `contenido` the language file in use (none when null) and applies it as start-up does.
    void Usar(const QByteArray& contenido) {
        QFile::remove(carpeta_.ruta("Idioma.cfg"));
        if (!contenido.isNull()) carpeta_.escribir("Idioma.cfg", contenido);
        AplicarIdiomaQt();
    }

    CarpetaTemporal carpeta_;
    QTemporaryDir ajustes_;
};

// The Yes and No captions of a question asked through the program's message boxes.
QString BotonesDeUnaPregunta() {
    QWidget dueno;
    InteraccionVentanas op(&dueno);
    QString botones = QStringLiteral("no box");
    QTimer::singleShot(0, [&] {
        auto* caja = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!caja) return;
        botones =
            caja->button(QMessageBox::Yes)->text() + u'|' + caja->button(QMessageBox::No)->text();
        caja->button(QMessageBox::No)->click();
    });
    op.Preguntar(QStringLiteral("?"), QStringLiteral("T"), Icono::Pregunta);
    return botones;
}

TEST_F(IdiomaQt, LosBotonesYElLocaleSiguenElArchivoDeIdioma) {
    // What Qt's Spanish catalog says, so the test does not depend on its exact wording.
    QTranslator espanol;
    ASSERT_TRUE(espanol.load(QLocale(QLocale::Spanish), "qtbase", "_",
                             QLibraryInfo::path(QLibraryInfo::TranslationsPath)));
    const QString si = espanol.translate("QPlatformTheme", "&Yes");
    const QString no = espanol.translate("QPlatformTheme", "&No");
    ASSERT_FALSE(si.isEmpty());
    ASSERT_NE(si, "&Yes");

    struct Caso {
        const char* nombre;
        QByteArray archivo;  // null: no language file
        QLocale::Language idioma;
        QString botones;
    } casos[] = {
        {"sin archivo", QByteArray(), QLocale::Spanish, si + u'|' + no},
        {"English.idm", Ingles(), QLocale::English, QStringLiteral("&Yes|&No")},
        {"sin QtIdioma", "[Idioma]\r\n005002=Connect.\r\n", QLocale::Spanish, si + u'|' + no},
        // The closing character is dropped as from every text: "en" without it is no language.
        {"sin cierre", "[Idioma]\r\nQtIdioma=en\r\n", QLocale::Spanish, si + u'|' + no},
        {"desconocido", "[Idioma]\r\nQtIdioma=zz.\r\n", QLocale::Spanish, si + u'|' + no},
        {"de vuelta", Ingles(), QLocale::English, QStringLiteral("&Yes|&No")},
    };
    for (const Caso& c : casos) {
        Usar(c.archivo);
        EXPECT_EQ(LocalePrograma().language(), c.idioma) << c.nombre;
        EXPECT_EQ(QLocale().language(), c.idioma) << c.nombre;
        EXPECT_EQ(BotonesDeUnaPregunta(), c.botones) << c.nombre;
    }
}

TEST_F(IdiomaQt, LaAyudaSigueElIdiomaYCadaPaginaTieneSuTraduccion) {
    const struct {
        const char* nombre;
        QByteArray archivo;
        QString ruta;
    } casos[] = {
        {"sin archivo", QByteArray(), kRecursos + "/ayuda/index.html"},
        {"English.idm", Ingles(), kRecursos + "/ayuda/en/index.html"},
        // No German pages: the Spanish ones rather than none.
        {"aleman", "[Idioma]\r\nQtIdioma=de.\r\n", kRecursos + "/ayuda/index.html"},
    };
    for (const auto& c : casos) {
        Usar(c.archivo);
        EXPECT_EQ(RutaAyuda(), QFileInfo(c.ruta).absoluteFilePath()) << c.nombre;
    }

    QStringList sinTraducir;
    for (QDirIterator it(kRecursos + "/ayuda", {"*.html"}, QDir::Files); it.hasNext();) {
        const QString pagina = QFileInfo(it.next()).fileName();
        if (!QFileInfo::exists(kRecursos + "/ayuda/en/" + pagina)) sinTraducir << pagina;
    }
    EXPECT_EQ(sinTraducir, QStringList());
}

TEST_F(IdiomaQt, UnCambioDeIdiomaLlegaALasVentanasAbiertasAunqueQtNoCambie) {
    Usar(QByteArray());
    InteraccionGuion guion;
    FrmPrincipal principal(&guion);
    principal.mnuHelpContents();
    auto* ayuda = principal.findChild<FrmAyuda*>();
    ASSERT_NE(ayuda, nullptr);
    FrmSplash splash;
    Sonda otra;
    otra.show();
    Entregar();
    otra.cambios = 0;

    // Two changes: the first swaps Qt's catalogs, the second keeps them (same locale).
    QByteArray otroIngles = Ingles();
    otroIngles.replace("016001=Vela and Mirto weighing indicators.", "016001=Indicators.");
    carpeta_.escribir("English.idm", Ingles());
    carpeta_.escribir("Otro.idm", otroIngles);
    for (const char* archivo : {"English.idm", "Otro.idm"}) {
        guion.responder({true});
        guion.elegir({carpeta_.ruta(archivo)});
        principal.mnuIdioma();
        Entregar();
        EXPECT_GE(otra.cambios, 1) << archivo;
        otra.cambios = 0;
    }

    EXPECT_EQ(splash.findChild<QLabel*>("lblCompanyProduct")->text(), "Indicators");
    EXPECT_EQ(ayuda->windowTitle(), TituloPrograma() + " - Help");
    EXPECT_TRUE(ayuda->TemasVisibles().contains("Main window"));
    // The page on view is reloaded from the English pages.
    EXPECT_EQ(ayuda->findChild<QTextBrowser*>("txtPagina")->source().toLocalFile(),
              QFileInfo(kRecursos + "/ayuda/en/index.html").absoluteFilePath());
}

}  // namespace
