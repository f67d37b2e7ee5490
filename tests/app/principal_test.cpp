// The main window on the offscreen platform, in a temporary data folder, with a scripted operator
// and the position store redirected to a temporary folder.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QSettings>

#include "app/ui/FrmAyuda.h"
#include "app/ui/FrmPrincipal.h"
#include "settings/Config.h"
#include "tests/support/CarpetaTemporal.h"
#include "tests/support/InteraccionGuion.h"

namespace {

const QString kIngles = QStringLiteral(BASCORA_DIR_FUENTE "/share/English.idm");
const QByteArray kAleman = "[Idioma]\r\n005002=Verbinden.\r\n";

class VentanaPrincipal : public ::testing::Test {
  protected:
    void SetUp() override {
        // The user's own settings stay untouched.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, ajustes_.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, ajustes_.path());
    }
    void TearDown() override { qunsetenv("BASCORA_RECURSOS"); }

    QAction* Accion(FrmPrincipal& w, const QString& nombre) {
        QAction* a = w.findChild<QAction*>(nombre);
        EXPECT_NE(a, nullptr) << nombre.toStdString();
        return a;
    }
    QString Texto(FrmPrincipal& w, const char* nombre) { return Accion(w, nombre)->text(); }
    QSettings Ajustes() { return QSettings(QStringLiteral("Bascora"), QStringLiteral("Bascora")); }

    CarpetaTemporal carpeta_;
    QTemporaryDir ajustes_;
    InteraccionGuion guion_;
};

TEST_F(VentanaPrincipal, MirtoOcultaSieteComandosYTresBotonesYLosDemasModelosSonVela) {
    const auto comprobar = [&](FrmPrincipal& w, bool vela) {
        for (const char* nombre : {"mnuAuto", "mnubajar", "mnuCodigos", "mnuRecetas", "mnuReporte",
                                   "mnuPesar", "mnuSetup"})
            EXPECT_EQ(Accion(w, nombre)->isVisible(), vela) << nombre;
        EXPECT_TRUE(Accion(w, "conectar")->isVisible());
        for (int i : {4, 6, 10}) EXPECT_EQ(w.BotonBarra(i)->isVisible(), vela) << i;
        EXPECT_TRUE(w.BotonBarra(12)->isVisible());
    };
    FrmPrincipal w(&guion_);  // no setting: Vela
    comprobar(w, true);
    for (int modelo : {7, 1}) {                          // 7 is not Mirto
        GuardarConfig("global", "Indicador_1", modelo);  // as after the options dialog
        w.AplicarModelo();
        comprobar(w, modelo != 1);
    }
    FrmPrincipal mirto(&guion_);
    comprobar(mirto, false);
}

TEST_F(VentanaPrincipal, LaPosicionSeRecuerdaNoMinimizadaYDentroDeLaPantalla) {
    for (bool minimizada : {false, true}) {
        FrmPrincipal w(&guion_);
        EXPECT_EQ(w.pos(), minimizada ? QPoint(50, 70) : QPoint(66, 66));
        minimizada ? w.showMinimized() : w.show();
        w.move(minimizada ? QPoint(300, 300) : QPoint(50, 70));
        w.close();
        EXPECT_EQ(Ajustes().value("Settings/MainTop").toString(), "1050");  // twips
    }
    Ajustes().setValue("Settings/MainLeft", "900000");  // a monitor that is gone
    EXPECT_EQ(FrmPrincipal(&guion_).pos(), QPoint(66, 66));
}

TEST_F(VentanaPrincipal, ElCambioDeIdiomaNoCambiaNadaSiNoSeCompletaYReemplazaElArchivoEnUso) {
    // The file in use has a name that differs in case: it must be replaced, not joined.
    carpeta_.escribir("IDIOMA.CFG", kAleman);
    FrmPrincipal w(&guion_);
    EXPECT_EQ(Texto(w, "conectar"), "Verbinden");
    guion_.responder({false});
    w.mnuIdioma();
    EXPECT_EQ(guion_.mensajes.size(), 1);  // no file dialog after "No"

    // Cancelled file dialog, then a file that cannot be read: silent, and nothing changes.
    for (const QString& elegido : {QString(), carpeta_.ruta("no-existe.idm")}) {
        guion_.responder({true});
        guion_.elegir({elegido});
        w.mnuIdioma();
    }
    EXPECT_EQ(guion_.mensajes.size(), 5);
    EXPECT_EQ(carpeta_.leer("IDIOMA.CFG"), kAleman);
    EXPECT_EQ(Texto(w, "conectar"), "Verbinden");

    // Some other command left another folder current.
    QTemporaryDir otra;
    ASSERT_TRUE(QDir::setCurrent(otra.path()));
    guion_.responder({true});
    guion_.elegir({kIngles});
    w.mnuIdioma();
    EXPECT_EQ(QDir::currentPath(), QDir(carpeta_.ruta()).canonicalPath());
    EXPECT_EQ(QDir(carpeta_.ruta()).entryList(QDir::Files), QStringList({"IDIOMA.CFG"}));
    EXPECT_TRUE(QDir(otra.path()).isEmpty());
    EXPECT_EQ(Texto(w, "conectar"), "Connect");
}

TEST_F(VentanaPrincipal, SinArchivoDeAyudaElBotonAcercaMuestraElMensajeFijo) {
    QTemporaryDir vacia;
    qputenv("BASCORA_RECURSOS", vacia.path().toLocal8Bit());
    FrmPrincipal w(&guion_);
    w.BotonBarra(14)->trigger();
    w.mnuHelpSearch();
    const QString sinAyuda = QStringLiteral(
        "Imposible mostrar los contenidos de la Ayuda. No hay una Ayuda asociada con este "
        "proyecto.");
    EXPECT_EQ(guion_.textos(), QStringList({sinAyuda, sinAyuda}));
    EXPECT_EQ(w.findChild<FrmAyuda*>(), nullptr);
}

TEST_F(VentanaPrincipal, LaAyudaMuestraElContenidoBuscaYPrefiereLaDeLaCarpetaDeDatos) {
    FrmPrincipal w(&guion_);
    w.BotonBarra(14)->trigger();
    EXPECT_TRUE(guion_.mensajes.isEmpty());
    FrmAyuda* ayuda = w.findChild<FrmAyuda*>();
    ASSERT_NE(ayuda, nullptr);
    const QStringList todas = ayuda->TemasVisibles();
    QLineEdit* buscar = ayuda->findChild<QLineEdit*>("txtBuscar");
    buscar->setText(QStringLiteral("mirto"));
    EXPECT_TRUE(ayuda->TemasVisibles().contains("Ventana principal"));
    EXPECT_LT(ayuda->TemasVisibles().size(), todas.size());
    buscar->clear();
    EXPECT_EQ(ayuda->TemasVisibles(), todas);

    // The data folder's own help comes first.
    QDir(carpeta_.ruta()).mkdir("ayuda");
    carpeta_.escribir("ayuda/index.html", "<html><head><title>Ayuda de la planta</title></head>");
    FrmPrincipal otra(&guion_);
    otra.mnuHelpContents();
    ASSERT_NE(otra.findChild<FrmAyuda*>(), nullptr);
    EXPECT_EQ(otra.findChild<FrmAyuda*>()->TemasVisibles(), QStringList({"Ayuda de la planta"}));
}

TEST_F(VentanaPrincipal, VentanaHijaOcultaLaPrincipalYSalirLaCierra) {
    FrmPrincipal w(&guion_);
    w.show();
    auto* hija = new QWidget;
    w.AbrirVentanaHija(hija);
    EXPECT_FALSE(w.isVisible());
    hija->close();  // deleted on close
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(w.isVisible());

    bool cerrada = false;
    QObject::connect(&w, &FrmPrincipal::Cerrada, [&] { cerrada = true; });
    Accion(w, "mnuFileExit")->trigger();
    EXPECT_TRUE(cerrada);
    EXPECT_FALSE(w.isVisible());
}

}  // namespace
