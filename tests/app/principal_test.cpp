// The main window on the offscreen platform, in a temporary data folder, with a scripted operator
// and the position store redirected to a temporary folder.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRegularExpression>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QToolBar>

#include "app/ui/FrmAyuda.h"
#include "app/ui/FrmPrincipal.h"
#include "app/ui/FrmSplash.h"
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

TEST_F(VentanaPrincipal, RotulosEnEspanolSinIdiomaCfgYEnInglesConElArchivoIngles) {
    FrmPrincipal w(&guion_);
    EXPECT_EQ(Texto(w, "mnuFile"), "&Archivo");
    EXPECT_EQ(Texto(w, "conectar"), "Conectar");
    EXPECT_EQ(Texto(w, "mnuAuto"), QString::fromUtf8("Descarga automática de la auditoria"));
    EXPECT_EQ(Texto(w, "mnuSetup"), QString::fromUtf8("Parámetros del Setup"));
    EXPECT_EQ(w.BotonBarra(2)->toolTip(), "Ver Peso");
    // Buttons at the even indices, separators at the odd ones.
    for (int i = 1; i <= 14; ++i) EXPECT_EQ(w.BotonBarra(i)->isSeparator(), i % 2 == 1) << i;
    EXPECT_EQ(w.BotonBarra(15), nullptr);

    ASSERT_TRUE(QFile::copy(kIngles, carpeta_.ruta("Idioma.cfg")));
    w.Idioma();
    EXPECT_EQ(Texto(w, "mnuFile"), "&File");
    EXPECT_EQ(Texto(w, "conectar"), "Connect");
    EXPECT_EQ(Texto(w, "mnuHelpAbout"), "&About...");
    EXPECT_EQ(w.findChild<QMenu*>("mnuView")->title(), "&View");
    EXPECT_EQ(w.BotonBarra(2)->toolTip(), "View Weight");
    EXPECT_EQ(w.BotonBarra(14)->toolTip(), "About...");
}

TEST_F(VentanaPrincipal, MirtoOcultaSieteComandosYTresBotonesYLosDemasModelosSonVela) {
    const QStringList soloVela = {"mnuAuto",    "mnubajar", "mnuCodigos", "mnuRecetas",
                                  "mnuReporte", "mnuPesar", "mnuSetup"};
    const auto comprobar = [&](FrmPrincipal& w, bool vela) {
        for (const QString& nombre : soloVela)
            EXPECT_EQ(Accion(w, nombre)->isVisible(), vela) << nombre.toStdString();
        for (const char* nombre : {"conectar", "mnuFileExit", "mnuIdioma", "mnuViewOptions"})
            EXPECT_TRUE(Accion(w, nombre)->isVisible()) << nombre;
        for (int i : {2, 8, 12, 14}) EXPECT_TRUE(w.BotonBarra(i)->isVisible()) << i;
        for (int i : {4, 6, 10}) EXPECT_EQ(w.BotonBarra(i)->isVisible(), vela) << i;
    };
    for (int modelo : {0, 7}) {  // no setting, or one that is not Mirto
        if (modelo) GuardarConfig("Global", "Indicador_1", modelo);
        FrmPrincipal w(&guion_);
        if (!modelo) {
            EXPECT_EQ(w.Indicador(), 2);
        }
        comprobar(w, true);
    }
    GuardarConfig("Global", "Indicador_1", 1);
    FrmPrincipal w(&guion_);
    EXPECT_EQ(w.Indicador(), 1);
    comprobar(w, false);
    // As after the options dialog: the model is read again.
    GuardarConfig("global", "Indicador_1", 2);
    w.AplicarModelo();
    EXPECT_EQ(w.Indicador(), 2);
    comprobar(w, true);
}

TEST_F(VentanaPrincipal, LaPosicionSeRecuerdaEnTwipsNoMinimizadaYDentroDeLaPantalla) {
    const auto guardada = [&] {
        QSettings s = Ajustes();
        return s.value("Settings/MainLeft").toString() + u',' +
               s.value("Settings/MainTop").toString();
    };
    // 1000 twips at first; then where it was left, but never where it was minimized.
    for (const QPoint& inicio : {QPoint(66, 66), QPoint(50, 70)}) {
        FrmPrincipal w(&guion_);
        EXPECT_EQ(w.pos(), inicio);
        inicio.x() == 66 ? w.show() : w.showMinimized();
        w.move(inicio.x() == 66 ? QPoint(50, 70) : QPoint(300, 300));
        w.close();
        EXPECT_EQ(guardada(), "750,1050");
    }
    Ajustes().setValue("Settings/MainLeft", "3000");
    Ajustes().setValue("Settings/MainTop", "4500");
    EXPECT_EQ(FrmPrincipal(&guion_).pos(), QPoint(200, 300));
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
    ASSERT_EQ(guion_.mensajes.size(), 1);  // no file dialog after "No"
    EXPECT_EQ(guion_.mensajes.at(0).texto, "Desea modificar el idioma de trabajo?");
    EXPECT_EQ(guion_.mensajes.at(0).titulo, "Idioma");
    EXPECT_EQ(guion_.mensajes.at(0).icono, Icono::Pregunta);

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
    QFile ingles(kIngles);
    ASSERT_TRUE(ingles.open(QIODevice::ReadOnly));
    EXPECT_EQ(carpeta_.leer("IDIOMA.CFG"), ingles.readAll());
    EXPECT_TRUE(QDir(otra.path()).isEmpty());
    EXPECT_EQ(Texto(w, "conectar"), "Connect");
}

TEST_F(VentanaPrincipal, SinArchivoDeAyudaElBotonAcercaMuestraElMensajeFijo) {
    QTemporaryDir vacia;
    qputenv("BASCORA_RECURSOS", vacia.path().toLocal8Bit());
    FrmPrincipal w(&guion_);
    w.BotonBarra(14)->trigger();
    w.mnuHelpSearch();
    ASSERT_EQ(guion_.mensajes.size(), 2);
    for (const auto& m : guion_.mensajes) {
        EXPECT_EQ(m.tipo, InteraccionGuion::Mensaje::Aviso);
        EXPECT_EQ(m.texto,
                  "Imposible mostrar los contenidos de la Ayuda. No hay una Ayuda asociada con "
                  "este proyecto.");
        EXPECT_EQ(m.icono, Icono::Informacion);
    }
    EXPECT_EQ(w.findChild<FrmAyuda*>(), nullptr);
}

TEST_F(VentanaPrincipal, LaAyudaMuestraElContenidoBuscaYPrefiereLaDeLaCarpetaDeDatos) {
    FrmPrincipal w(&guion_);
    w.BotonBarra(14)->trigger();
    EXPECT_TRUE(guion_.mensajes.isEmpty());
    FrmAyuda* ayuda = w.findChild<FrmAyuda*>();
    ASSERT_NE(ayuda, nullptr);
    EXPECT_TRUE(ayuda->isVisible());
    // The contents page, then the pages in the order it links them.
    const QStringList todas = ayuda->TemasVisibles();
    EXPECT_EQ(todas.mid(0, 3),
              QStringList({"Ayuda de Bascora", "Inicio del programa y carpeta de datos",
                           "Ventana principal"}));
    EXPECT_GE(todas.size(), 5);

    QLineEdit* buscar = ayuda->findChild<QLineEdit*>("txtBuscar");
    ASSERT_NE(buscar, nullptr);
    buscar->setText(QStringLiteral("mirto"));
    EXPECT_TRUE(ayuda->TemasVisibles().contains("Ventana principal"));
    EXPECT_FALSE(ayuda->TemasVisibles().contains("Reporte de pesadas"));
    buscar->setText(QStringLiteral("palabraquenoestaenningunapagina"));
    EXPECT_TRUE(ayuda->TemasVisibles().isEmpty());
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

TEST_F(VentanaPrincipal, BarrasVentanaHijaYSalir) {
    FrmPrincipal w(&guion_);
    w.show();
    // The View menu shows and hides each bar; a direct call toggles like a click.
    const std::pair<const char*, QWidget*> barras[] = {
        {"mnuViewToolbar", w.findChild<QToolBar*>("tbToolBar")},
        {"mnuViewStatusBar", w.findChild<QStatusBar*>("sbStatusBar")}};
    for (const auto& [accion, barra] : barras) {
        ASSERT_NE(barra, nullptr) << accion;
        ASSERT_TRUE(QMetaObject::invokeMethod(&w, accion));
        EXPECT_FALSE(barra->isVisible()) << accion;
        EXPECT_FALSE(Accion(w, accion)->isChecked()) << accion;
        Accion(w, accion)->trigger();
        EXPECT_TRUE(barra->isVisible()) << accion;
        EXPECT_TRUE(Accion(w, accion)->isChecked()) << accion;
    }

    // A child window hides the main one until it closes.
    auto* hija = new QWidget;
    w.AbrirVentanaHija(hija);
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(hija->isVisible());
    hija->close();  // deleted on close
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(w.isVisible());

    bool cerrada = false;
    QObject::connect(&w, &FrmPrincipal::Cerrada, [&] { cerrada = true; });
    Accion(w, "mnuFileExit")->trigger();
    EXPECT_TRUE(cerrada);
    EXPECT_FALSE(w.isVisible());
}

TEST(Presentacion, MuestraTituloYVersionCentrada) {
    FrmSplash splash;
    splash.MostrarYa();
    EXPECT_EQ(splash.findChild<QLabel*>("lblProductName")->text(), "Bascora");
    const QString version = splash.findChild<QLabel*>("lblVersion")->text();
    EXPECT_TRUE(QRegularExpression("^Version [^.]+\\.[^.]+\\.[^.]+$").match(version).hasMatch())
        << version.toStdString();
    const QPoint centro = QGuiApplication::primaryScreen()->availableGeometry().center();
    EXPECT_LE((splash.frameGeometry().center() - centro).manhattanLength(), 2);
}

}  // namespace
