// Qt's own texts, the help and the open windows follow the language in use.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDirIterator>
#include <QLabel>
#include <QMessageBox>
#include <QSettings>
#include <QTextBrowser>
#include <QTimer>

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

// The Yes and No captions of a question asked through the program's message boxes.
std::string BotonesDeUnaPregunta() {
    InteraccionVentanas op;
    QString botones = QStringLiteral("no box");
    QTimer::singleShot(0, [&] {
        auto* caja = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!caja) return;
        botones =
            caja->button(QMessageBox::Yes)->text() + u'|' + caja->button(QMessageBox::No)->text();
        caja->button(QMessageBox::No)->click();
    });
    op.Preguntar(QStringLiteral("?"), QStringLiteral("T"), Icono::Pregunta);
    return botones.toStdString();
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

TEST_F(IdiomaQt, BotonesLocaleYAyudaSiguenElArchivoDeIdioma) {
    const QString ayuda = kRecursos + "/ayuda/index.html";
    const struct {
        QByteArray archivo;  // null: no language file
        QLocale::Language idioma;
        std::string botones;
        QString ayuda;
    } casos[] = {
        {QByteArray(), QLocale::Spanish, "&Sí|&No", ayuda},
        {Ingles(), QLocale::English, "&Yes|&No", kRecursos + "/ayuda/en/index.html"},
        // The closing character is dropped as from every text: "en" without it is no language.
        {"[Idioma]\r\nQtIdioma=en\r\n", QLocale::Spanish, "&Sí|&No", ayuda},
        {"[Idioma]\r\nQtIdioma=zz.\r\n", QLocale::Spanish, "&Sí|&No", ayuda},
        // German has no help pages of its own: the Spanish ones rather than none.
        {"[Idioma]\r\nQtIdioma=de.\r\n", QLocale::German, "&Ja|&Nein", ayuda},
    };
    for (const auto& c : casos) {
        Usar(c.archivo);
        SCOPED_TRACE(c.archivo.toStdString());
        EXPECT_EQ(LocalePrograma().language(), c.idioma);
        EXPECT_EQ(QLocale().language(), c.idioma);
        EXPECT_EQ(BotonesDeUnaPregunta(), c.botones);
        EXPECT_EQ(RutaAyuda(), QFileInfo(c.ayuda).absoluteFilePath());
    }
    QStringList sinTraducir;
    for (QDirIterator it(kRecursos + "/ayuda", {"*.html"}, QDir::Files); it.hasNext();) {
        const QString pagina = QFileInfo(it.next()).fileName();
        if (!QFileInfo::exists(kRecursos + "/ayuda/en/" + pagina)) sinTraducir << pagina;
    }
    EXPECT_EQ(sinTraducir.join(' ').toStdString(), "");
}

TEST_F(IdiomaQt, UnCambioDeIdiomaReleOtraVezLasVentanasAbiertasAunqueQtNoCambie) {
    Usar(QByteArray());
    InteraccionGuion guion;
    FrmPrincipal principal(&guion);
    principal.mnuHelpContents();
    auto* ayuda = principal.findChild<FrmAyuda*>();
    ASSERT_NE(ayuda, nullptr);
    FrmSplash splash;  // relabels only when the change reaches it
    QLabel* lblCompanyProduct = splash.findChild<QLabel*>("lblCompanyProduct");

    // The first change swaps Qt's catalogs; the second keeps them (same locale, other texts).
    QByteArray otro = Ingles();
    otro.replace("016001=Vela and Mirto weighing indicators.", "016001=Indicators.");
    carpeta_.escribir("English.idm", Ingles());
    carpeta_.escribir("Otro.idm", otro);
    const std::pair<const char*, const char*> cambios[] = {
        {"English.idm", "Vela and Mirto weighing indicators"}, {"Otro.idm", "Indicators"}};
    for (const auto& [archivo, esperado] : cambios) {
        guion.responder({true});
        guion.elegir({carpeta_.ruta(archivo)});
        principal.mnuIdioma();
        for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();  // the events are posted
        EXPECT_EQ(lblCompanyProduct->text().toStdString(), esperado) << archivo;
    }
    EXPECT_EQ(ayuda->windowTitle(), TituloPrograma() + " - Help");
    EXPECT_TRUE(ayuda->TemasVisibles().contains("Main window"));
    EXPECT_EQ(ayuda->findChild<QTextBrowser*>("txtPagina")->source().toLocalFile(),
              QFileInfo(kRecursos + "/ayuda/en/index.html").absoluteFilePath());
}

}  // namespace
