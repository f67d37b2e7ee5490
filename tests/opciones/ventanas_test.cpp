// The options dialog, the password prompt, the About box, the system information and the
// register console opened from the main window. With a language file that maps every id of
// share/English.idm to "#id", every caption must come out as "#id": a caption that bypasses the
// lookup, or whose id is missing from English.idm, shows its Spanish text instead.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSettings>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <functional>

#include "app/ui/FrmAbout.h"
#include "app/ui/FrmInfo.h"
#include "app/ui/FrmPrincipal.h"
#include "link/ui/FrmDebug.h"
#include "settings/Config.h"
#include "tests/support/CarpetaTemporal.h"
#include "tests/support/InteraccionGuion.h"

namespace {

const QString kIngles = QStringLiteral(BASCORA_DIR_FUENTE "/share/English.idm");

// Labels that show data, not captions.
const QStringList kDatos = {"LabelId0",        "Label_DB", "Label1_3", "lblTitle", "lblUsuario",
                            "lblOrganizacion", "Label1",   "picIcon",  "Lbl_Area"};

// Every id of English.idm as "#id " before its English text (placeholders kept).
QByteArray IdiomaDeIds() {
    QFile f(kIngles);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    QByteArray salida = "[Idioma]\r\n";
    for (const QByteArray& linea : f.readAll().split('\n')) {
        const QByteArray id = linea.left(6);
        if (linea.size() > 7 && linea.at(6) == '=')
            salida += id + "=#" + id + ' ' + linea.mid(7) + '\n';
    }
    return salida;
}

// Captions of a window: title, labels, buttons, frames, tabs.
QStringList Rotulos(QWidget* w) {
    QStringList r{w->windowTitle()};
    for (QLabel* l : w->findChildren<QLabel*>())
        if (!kDatos.contains(l->objectName())) r << l->text();
    for (QAbstractButton* b : w->findChildren<QAbstractButton*>()) r << b->text();
    for (QGroupBox* g : w->findChildren<QGroupBox*>()) r << g->title();
    for (QTabWidget* t : w->findChildren<QTabWidget*>())
        for (int i = 0; i < t->count(); ++i) r << t->tabText(i);
    r.removeAll(QString());
    return r;
}

void ComprobarIds(QWidget* w) {
    static const QRegularExpression id(QStringLiteral("^&?#\\d{6}"));
    for (const QString& texto : Rotulos(w))
        EXPECT_TRUE(id.match(texto).hasMatch())
            << w->objectName().toStdString() << ": " << texto.toStdString();
}

// Runs `f` once a visible top-level window named `nombre` is up (modal dialogs run their own loop).
void AlAparecer(const QString& nombre, std::function<void(QWidget*)> f) {
    auto* reloj = new QTimer;
    reloj->setInterval(10);
    QObject::connect(reloj, &QTimer::timeout, [reloj, nombre, f] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->objectName() == nombre && w->isVisible()) {
                reloj->stop();
                reloj->deleteLater();
                f(w);
                return;
            }
        }
    });
    reloj->start();
}

class VentanasOpciones : public ::testing::Test {
  protected:
    void SetUp() override {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, ajustes_.path());
    }

    // Opens the options, the About box, the system information and the console from the main
    // window; `comprobar` runs on each while it is up.
    void RecorrerVentanas(FrmPrincipal& w, const std::function<void(QWidget*)>& comprobar) {
        int vistas = 0;
        AlAparecer("frmOptions", [&](QWidget* v) {
            comprobar(v);
            qobject_cast<QTabWidget*>(v->findChild<QTabWidget*>("SSTab1"))->setCurrentIndex(1);
            comprobar(v);
            ++vistas;
            v->findChild<QPushButton*>("cmdCancel")->click();
        });
        w.mnuViewOptions();
        AlAparecer("frmAbout", [&](QWidget* a) {
            comprobar(a);
            AlAparecer("frmInfo", [&](QWidget* i) {
                comprobar(i);
                ++vistas;
                qobject_cast<QDialog*>(i)->accept();
            });
            a->findChild<QPushButton*>("cmdSysInfo")->click();
            ++vistas;
            // Hidden gesture: a double-click without the key does nothing; with D held it opens
            // the console.
            QLabel* icono = a->findChild<QLabel*>("picIcon");
            QTest::mouseDClick(icono, Qt::LeftButton);
            EXPECT_TRUE(a->isVisible());
            QTest::keyPress(a, Qt::Key_D);
            QTest::mouseDClick(icono, Qt::LeftButton);
        });
        w.mnuHelpAbout();
        frmDebug* consola = nullptr;
        for (QWidget* t : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<frmDebug*>(t); d && d->isVisible()) consola = d;
        ASSERT_NE(consola, nullptr);
        comprobar(consola);
        consola->close();
        QApplication::processEvents();
        EXPECT_EQ(vistas, 3);
    }

    CarpetaTemporal carpeta_;
    QTemporaryDir ajustes_;
    InteraccionGuion guion_;
};

// In Spanish (no language file) and English every window opens with its own title; with the ids
// file every caption shows its id.
TEST_F(VentanasOpciones, SeAbrenEnEspanolEnInglesYCadaRotuloTieneSuIdEnIngles) {
    static const QMap<QString, std::pair<QString, QString>> titulos = {
        {"frmOptions", {"Opciones", "Options"}},
        {"frmAbout", {"Acerca de ...", "About ..."}},
        {"frmInfo", {QString::fromUtf8("Información del sistema"), "System information"}},
        {"frmDebug", {"Debug", "Debug"}},
    };
    for (const QString idioma : {"es", "en", "ids"}) {
        QFile::remove(carpeta_.ruta("Idioma.cfg"));
        if (idioma == "en") {
            ASSERT_TRUE(QFile::copy(kIngles, carpeta_.ruta("Idioma.cfg")));
        }
        if (idioma == "ids") carpeta_.escribir("Idioma.cfg", IdiomaDeIds());
        FrmPrincipal w(&guion_);
        w.show();
        RecorrerVentanas(w, [&](QWidget* v) {
            if (idioma == "ids") return ComprobarIds(v);
            const auto t = titulos.value(v->objectName());
            EXPECT_EQ(v->windowTitle(), idioma == "en" ? t.second : t.first);
        });
    }
}

TEST_F(VentanasOpciones, ConContrasenaPidePrimeroYAlCerrarSeAplicaElModelo) {
    GuardarConfig("Opciones", "PASS", "Clave");
    FrmPrincipal w(&guion_);
    w.show();
    bool opciones = false;
    AlAparecer("frmOptions", [&](QWidget*) { opciones = true; });
    AlAparecer("frmLogin1", [](QWidget* l) { l->findChild<QPushButton*>("cmdCancel")->click(); });
    w.mnuViewOptions();
    EXPECT_FALSE(opciones);

    AlAparecer("frmLogin1", [](QWidget* l) {
        l->findChild<QLineEdit*>("txtPassword")->setText("cLAVE");
        l->findChild<QPushButton*>("cmdOK")->click();
    });
    AlAparecer("frmOptions", [&](QWidget* v) {
        opciones = true;
        v->findChild<QRadioButton*>("OptIndicador_1")->click();
        v->findChild<QPushButton*>("cmdOK")->click();
    });
    EXPECT_EQ(w.Indicador(), 2);
    w.mnuViewOptions();
    EXPECT_TRUE(opciones);
    EXPECT_EQ(w.Indicador(), 1);
}

TEST_F(VentanasOpciones, AcercaDeMuestraUsuarioYOrganizacionEInformacionSeCopia) {
    // Written by hand, in Windows-1252 like every settings file.
    carpeta_.escribir("bascora.ini",
                      "[Global]\r\nUsuario=Planta Norte.\r\nOrganizaci\xf3n=Cooperativa.\r\n"
                      "Comunicacion_1=1.\r\nHost_1=127.0.0.1.\r\nPort_1=5020.\r\n"
                      "Indicador_1=1.\r\n");
    frmAbout acerca;
    EXPECT_EQ(acerca.findChild<QLabel*>("lblUsuario")->text(), "Planta Norte");
    EXPECT_EQ(acerca.findChild<QLabel*>("lblOrganizacion")->text(), "Cooperativa");

    frmInfo info;
    const QString texto = info.findChild<QPlainTextEdit*>("txtInfo")->toPlainText();
    for (const char* dato : {"TCP 127.0.0.1:5020", "Mirto", "Com8   /dev/ttyS7"})
        EXPECT_TRUE(texto.contains(dato)) << dato << "\n" << texto.toStdString();
    QApplication::clipboard()->clear();
    info.findChild<QPushButton*>("cmdCopiar")->click();
    EXPECT_EQ(QApplication::clipboard()->text(), texto);
}

}  // namespace
