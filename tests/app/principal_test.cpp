// The main window on the offscreen platform, in a temporary data folder, with a scripted operator
// and the position store redirected to a temporary folder.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolBar>

#include "app/ui/FrmAyuda.h"
#include "app/ui/FrmPrincipal.h"
#include "app/ui/FrmSplash.h"
#include "settings/Config.h"
#include "tests/support/CarpetaTemporal.h"
#include "tests/support/InteraccionGuion.h"

namespace {

const QStringList kSoloVela = {"mnuAuto",    "mnubajar", "mnuCodigos", "mnuRecetas",
                               "mnuReporte", "mnuPesar", "mnuSetup"};
const QStringList kSiempre = {"conectar",      "mnuFilePageSetup", "mnuFileExit",
                              "mnuMembrete",   "mnuViewToolbar",   "mnuViewStatusBar",
                              "mnuIdioma",     "mnuViewOptions",   "mnuHelpContents",
                              "mnuHelpSearch", "mnuHelpAbout"};

QString RutaIngles() {
    return QStringLiteral(BASCORA_DIR_FUENTE "/share/English.idm");
}

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
    QString Ajuste(const QString& clave) {
        QSettings s(QStringLiteral("Bascora"), QStringLiteral("Bascora"));
        return s.value(QStringLiteral("Settings/") + clave).toString();
    }

    CarpetaTemporal carpeta_;
    QTemporaryDir ajustes_;
    InteraccionGuion guion_;
};

QStringList Nombres(const QList<QAction*>& acciones) {
    QStringList nombres;
    for (QAction* a : acciones) nombres.append(a->objectName());
    return nombres;
}

}  // namespace

TEST_F(VentanaPrincipal, SinIdiomaCfgMuestraLosTextosEspanolesYLaEstructura) {
    FrmPrincipal w(&guion_);
    EXPECT_EQ(w.objectName(), "frmMain");
    EXPECT_EQ(w.windowTitle(), "Bascora");

    EXPECT_EQ(Accion(w, "mnuFile")->text(), "&Archivo");
    EXPECT_EQ(Accion(w, "conectar")->text(), "Conectar");
    EXPECT_EQ(Accion(w, "mnuAuto")->text(),
              QString::fromUtf8("Descarga automática de la auditoria"));
    EXPECT_EQ(Accion(w, "mnuSetup")->text(), QString::fromUtf8("Parámetros del Setup"));
    EXPECT_EQ(Accion(w, "mnuHelpSearch")->text(), "&Buscar Ayuda acerca de...");

    QMenu* archivo = w.findChild<QMenu*>("mnuFile");
    ASSERT_NE(archivo, nullptr);
    EXPECT_EQ(Nombres(archivo->actions()),
              QStringList({"conectar", "mnuAuto", "mnuFileBar7", "mnuFilePageSetup", "mnuFileBar5",
                           "mnuFileExit"}));
    QMenu* ayuda = w.findChild<QMenu*>("mnuHelp");
    ASSERT_NE(ayuda, nullptr);
    EXPECT_EQ(Nombres(ayuda->actions()),
              QStringList({"mnuHelpContents", "mnuHelpSearch", "mnuHelpBar1", "mnuHelpAbout"}));
    EXPECT_TRUE(ayuda->actions().at(2)->isSeparator());

    EXPECT_TRUE(Accion(w, "mnuViewToolbar")->isChecked());
    EXPECT_TRUE(Accion(w, "mnuViewStatusBar")->isChecked());

    // Buttons at the even indices, separators at the odd ones.
    const QStringList claves = {"pesar",   "bajar",    "codigos", "membrete",
                                "Reporte", "opciones", "acerca"};
    const QStringList ayudas = {"Ver Peso", "Bajar Pesadas", "Codigos",     "Membrete",
                                "Reporte",  "Opciones",      "Acerca de..."};
    for (int i = 1; i <= 14; ++i) {
        QAction* boton = w.BotonBarra(i);
        ASSERT_NE(boton, nullptr) << i;
        if (i % 2) {
            EXPECT_TRUE(boton->isSeparator()) << i;
        } else {
            EXPECT_EQ(boton->objectName(), claves.at(i / 2 - 1));
            EXPECT_EQ(boton->toolTip(), ayudas.at(i / 2 - 1));
        }
    }
    EXPECT_EQ(w.BotonBarra(15), nullptr);

    QLabel* panel = w.findChild<QStatusBar*>("sbStatusBar")->findChild<QLabel*>("Panel1");
    ASSERT_NE(panel, nullptr);
    w.MostrarEstado(QStringLiteral("Estado: Conectado"));
    EXPECT_EQ(panel->text(), "Estado: Conectado");
}

TEST_F(VentanaPrincipal, ConElArchivoInglesComoIdiomaCfgSeRotulaEnIngles) {
    FrmPrincipal w(&guion_);
    ASSERT_TRUE(QFile::copy(RutaIngles(), carpeta_.ruta("Idioma.cfg")));
    w.Idioma();
    EXPECT_EQ(Accion(w, "mnuFile")->text(), "&File");
    EXPECT_EQ(Accion(w, "conectar")->text(), "Connect");
    EXPECT_EQ(Accion(w, "mnuHelpAbout")->text(), "&About...");
    EXPECT_EQ(w.BotonBarra(2)->toolTip(), "View Weight");
    EXPECT_EQ(w.BotonBarra(14)->toolTip(), "About...");
    // Every caption changed: none of the Spanish defaults is left.
    EXPECT_EQ(Accion(w, "mnuView")->text(), "&View");
    EXPECT_EQ(w.findChild<QMenu*>("mnuView")->title(), "&View");
}

TEST_F(VentanaPrincipal, MirtoOcultaSieteComandosYTresBotonesYVelaLosDevuelve) {
    GuardarConfig("Global", "Indicador_1", 1);
    FrmPrincipal w(&guion_);
    EXPECT_EQ(w.Indicador(), 1);
    for (const QString& nombre : kSoloVela)
        EXPECT_FALSE(Accion(w, nombre)->isVisible()) << nombre.toStdString();
    for (const QString& nombre : kSiempre)
        EXPECT_TRUE(Accion(w, nombre)->isVisible()) << nombre.toStdString();
    EXPECT_TRUE(w.BotonBarra(2)->isVisible());
    EXPECT_FALSE(w.BotonBarra(4)->isVisible());
    EXPECT_FALSE(w.BotonBarra(6)->isVisible());
    EXPECT_TRUE(w.BotonBarra(8)->isVisible());
    EXPECT_FALSE(w.BotonBarra(10)->isVisible());
    EXPECT_TRUE(w.BotonBarra(12)->isVisible());
    EXPECT_TRUE(w.BotonBarra(14)->isVisible());

    // As after the options dialog: the model is read again.
    GuardarConfig("global", "Indicador_1", 2);
    w.AplicarModelo();
    EXPECT_EQ(w.Indicador(), 2);
    for (const QString& nombre : kSoloVela)
        EXPECT_TRUE(Accion(w, nombre)->isVisible()) << nombre.toStdString();
    for (int i : {2, 4, 6, 10}) EXPECT_TRUE(w.BotonBarra(i)->isVisible()) << i;
}

TEST_F(VentanaPrincipal, ModeloSinAjusteOConOtroValorEsVela) {
    {
        FrmPrincipal w(&guion_);
        EXPECT_EQ(w.Indicador(), 2);
        EXPECT_TRUE(Accion(w, "mnubajar")->isVisible());
    }
    GuardarConfig("Global", "Indicador_1", 7);
    FrmPrincipal w(&guion_);
    EXPECT_TRUE(Accion(w, "mnubajar")->isVisible());
    EXPECT_TRUE(w.BotonBarra(10)->isVisible());
}

TEST_F(VentanaPrincipal, LaPosicionSeRecuerdaEnTwipsYNoSeGuardaMinimizada) {
    {
        FrmPrincipal w(&guion_);
        EXPECT_EQ(w.pos(), QPoint(66, 66));  // 1000 twips
        w.show();
        w.move(50, 70);
        w.close();
    }
    EXPECT_EQ(Ajuste("MainLeft"), "750");
    EXPECT_EQ(Ajuste("MainTop"), "1050");
    {
        FrmPrincipal w(&guion_);
        EXPECT_EQ(w.pos(), QPoint(50, 70));
        w.showMinimized();
        w.move(300, 300);
        w.close();
    }
    EXPECT_EQ(Ajuste("MainLeft"), "750");
    EXPECT_EQ(Ajuste("MainTop"), "1050");
}

TEST_F(VentanaPrincipal, UnaPosicionFueraDeLaPantallaVuelveALaDeOmision) {
    {
        QSettings s(QStringLiteral("Bascora"), QStringLiteral("Bascora"));
        s.setValue("Settings/MainLeft", "3000");
        s.setValue("Settings/MainTop", "4500");
    }
    EXPECT_EQ(FrmPrincipal(&guion_).pos(), QPoint(200, 300));
    {
        QSettings s(QStringLiteral("Bascora"), QStringLiteral("Bascora"));
        s.setValue("Settings/MainLeft", "900000");  // a monitor that is gone
    }
    EXPECT_EQ(FrmPrincipal(&guion_).pos(), QPoint(66, 66));
}

TEST_F(VentanaPrincipal, ElCambioDeIdiomaRespondidoNoOCanceladoNoCambiaNada) {
    carpeta_.escribir("Idioma.cfg", "[Idioma]\r\n005002=Verbinden.\r\n");
    FrmPrincipal w(&guion_);
    guion_.responder({false});
    w.mnuIdioma();
    ASSERT_EQ(guion_.mensajes.size(), 1);  // no file dialog after "No"
    EXPECT_EQ(guion_.mensajes.at(0).texto, "Desea modificar el idioma de trabajo?");
    EXPECT_EQ(guion_.mensajes.at(0).titulo, "Idioma");
    EXPECT_EQ(guion_.mensajes.at(0).icono, Icono::Pregunta);

    guion_.responder({true});
    guion_.elegir({QString()});
    w.mnuIdioma();
    EXPECT_EQ(guion_.mensajes.size(), 3);
    EXPECT_EQ(carpeta_.leer("Idioma.cfg"), "[Idioma]\r\n005002=Verbinden.\r\n");
    EXPECT_EQ(Accion(w, "conectar")->text(), "Verbinden");

    // A file that cannot be read is a failure: silent, and nothing changes.
    guion_.responder({true});
    guion_.elegir({carpeta_.ruta("no-existe.idm")});
    w.mnuIdioma();
    EXPECT_EQ(carpeta_.leer("Idioma.cfg"), "[Idioma]\r\n005002=Verbinden.\r\n");
    EXPECT_EQ(guion_.mensajes.size(), 5);
}

TEST_F(VentanaPrincipal, ElCambioDeIdiomaReemplazaElArchivoEnUsoEnLaCarpetaDeDatos) {
    // A file in use whose name differs in case must be replaced, not joined by a second one.
    carpeta_.escribir("IDIOMA.CFG", "[Idioma]\r\n005002=Verbinden.\r\n");
    FrmPrincipal w(&guion_);
    EXPECT_EQ(Accion(w, "conectar")->text(), "Verbinden");

    // Some other command left another folder current.
    QTemporaryDir otra;
    ASSERT_TRUE(QDir::setCurrent(otra.path()));
    guion_.responder({true});
    guion_.elegir({RutaIngles()});
    w.mnuIdioma();

    EXPECT_EQ(QDir::currentPath(), QDir(carpeta_.ruta()).canonicalPath());
    const QStringList archivos = QDir(carpeta_.ruta()).entryList(QDir::Files);
    EXPECT_EQ(archivos, QStringList({"IDIOMA.CFG"}));
    QFile ingles(RutaIngles());
    ASSERT_TRUE(ingles.open(QIODevice::ReadOnly));
    EXPECT_EQ(carpeta_.leer("IDIOMA.CFG"), ingles.readAll());
    EXPECT_FALSE(QFile::exists(QDir(otra.path()).filePath("idioma.cfg")));
    EXPECT_EQ(Accion(w, "conectar")->text(), "Connect");
    EXPECT_EQ(Accion(w, "mnuFile")->text(), "&File");
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

TEST_F(VentanaPrincipal, LaAyudaMuestraElContenidoYBuscaEnLasPaginas) {
    FrmPrincipal w(&guion_);
    w.BotonBarra(14)->trigger();
    EXPECT_TRUE(guion_.mensajes.isEmpty());
    FrmAyuda* ayuda = w.findChild<FrmAyuda*>();
    ASSERT_NE(ayuda, nullptr);
    EXPECT_TRUE(ayuda->isVisible());
    const QStringList todas = ayuda->TemasVisibles();
    EXPECT_EQ(todas.value(0), "Ayuda de Bascora");
    // Then the pages in the order the contents page links them.
    EXPECT_EQ(todas.value(1), "Inicio del programa y carpeta de datos");
    EXPECT_EQ(todas.value(2), "Ventana principal");
    EXPECT_GE(todas.size(), 5);

    QLineEdit* buscar = ayuda->findChild<QLineEdit*>("txtBuscar");
    ASSERT_NE(buscar, nullptr);
    buscar->setText(QStringLiteral("mirto"));
    const QStringList conMirto = ayuda->TemasVisibles();
    EXPECT_TRUE(conMirto.contains("Ventana principal"));
    EXPECT_FALSE(conMirto.contains("Reporte de pesadas"));
    buscar->setText(QStringLiteral("palabraquenoestaenningunapagina"));
    EXPECT_TRUE(ayuda->TemasVisibles().isEmpty());
    buscar->clear();
    EXPECT_EQ(ayuda->TemasVisibles(), todas);
}

TEST_F(VentanaPrincipal, LaAyudaDeLaCarpetaDeDatosTienePrioridad) {
    QDir(carpeta_.ruta()).mkdir("ayuda");
    carpeta_.escribir("ayuda/index.html",
                      "<html><head><title>Ayuda de la planta</title></head><body>x</body></html>");
    FrmPrincipal w(&guion_);
    w.mnuHelpContents();
    FrmAyuda* ayuda = w.findChild<FrmAyuda*>();
    ASSERT_NE(ayuda, nullptr);
    EXPECT_EQ(ayuda->TemasVisibles(), QStringList({"Ayuda de la planta"}));
}

TEST_F(VentanaPrincipal, LasBarrasSeMuestranYOcultanDesdeElMenuVer) {
    FrmPrincipal w(&guion_);
    w.show();
    QToolBar* barra = w.findChild<QToolBar*>("tbToolBar");
    QStatusBar* estado = w.findChild<QStatusBar*>("sbStatusBar");
    Accion(w, "mnuViewToolbar")->trigger();
    EXPECT_FALSE(barra->isVisible());
    EXPECT_FALSE(Accion(w, "mnuViewToolbar")->isChecked());
    Accion(w, "mnuViewToolbar")->trigger();
    EXPECT_TRUE(barra->isVisible());
    EXPECT_TRUE(Accion(w, "mnuViewToolbar")->isChecked());

    w.mnuViewStatusBar();  // a direct call toggles like a click
    EXPECT_FALSE(estado->isVisible());
    EXPECT_FALSE(Accion(w, "mnuViewStatusBar")->isChecked());
    Accion(w, "mnuViewStatusBar")->trigger();
    EXPECT_TRUE(estado->isVisible());
    EXPECT_TRUE(Accion(w, "mnuViewStatusBar")->isChecked());
}

TEST_F(VentanaPrincipal, UnaVentanaHijaOcultaLaPrincipalHastaCerrarse) {
    FrmPrincipal w(&guion_);
    w.show();
    auto* hija = new QWidget;
    w.AbrirVentanaHija(hija);
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(hija->isVisible());
    hija->close();  // deleted on close
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(w.isVisible());
}

TEST_F(VentanaPrincipal, SalirCierraLaVentanaYAvisaQueTermina) {
    FrmPrincipal w(&guion_);
    w.show();
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
    EXPECT_TRUE(version.startsWith("Version ")) << version.toStdString();
    EXPECT_EQ(version.mid(8).split('.').size(), 3);
    EXPECT_FALSE(splash.findChild<QLabel*>("lblCompanyProduct")->text().isEmpty());
    EXPECT_FALSE(splash.findChild<QLabel*>("lblTitle")->text().isEmpty());
    const QPoint centro = QGuiApplication::primaryScreen()->availableGeometry().center();
    EXPECT_LE((splash.frameGeometry().center() - centro).manhattanLength(), 2);
}
