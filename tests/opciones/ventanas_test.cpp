// The options behind their password from the main window, the About box with the system
// information and the hidden way to the register console.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
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

// Runs `f` once a visible top-level window named `nombre` is up (modal dialogs run their own loop).
void AlAparecer(const QString& nombre, std::function<void(QWidget*)> f) {
    auto* reloj = new QTimer;
    reloj->setInterval(10);
    QObject::connect(reloj, &QTimer::timeout, [reloj, nombre, f] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->objectName() == nombre && w->isVisible()) {
                reloj->stop();
                reloj->deleteLater();
                return f(w);
            }
        }
    });
    reloj->start();
}

// The prompt: Cancel opens nothing, a wrong password asks again, the right one in any case opens
// the options, and what they store reaches the main window.
TEST(VentanasOpciones, ConContrasenaPidePrimeroYAlCerrarSeAplicaElModelo) {
    CarpetaTemporal carpeta;
    InteraccionGuion guion;
    GuardarConfig("Opciones", "PASS", "Clave");
    FrmPrincipal w(&guion);
    w.show();
    bool opciones = false;
    AlAparecer("frmOptions", [&](QWidget*) { opciones = true; });
    AlAparecer("frmLogin1", [](QWidget* l) { l->findChild<QPushButton*>("cmdCancel")->click(); });
    w.mnuViewOptions();
    EXPECT_FALSE(opciones);

    AlAparecer("frmLogin1", [&](QWidget* l) {
        for (const char* clave : {"otra", "", "cLAVE"}) {
            EXPECT_TRUE(l->isVisible()) << clave;
            l->findChild<QLineEdit*>("txtPassword")->setText(clave);
            l->findChild<QPushButton*>("cmdOK")->click();
        }
    });
    AlAparecer("frmOptions", [&](QWidget* v) {
        opciones = true;
        v->findChild<QRadioButton*>("OptIndicador_1")->click();
        v->findChild<QPushButton*>("cmdOK")->click();
    });
    EXPECT_EQ(w.Indicador(), 2);
    w.mnuViewOptions();
    EXPECT_TRUE(opciones);
    EXPECT_EQ(guion.mensajes.size(), 2);  // one per wrong password
    EXPECT_EQ(w.Indicador(), 1);
}

TEST(VentanasOpciones, AcercaDeInformacionYLaConsolaOculta) {
    CarpetaTemporal carpeta;
    // Written by hand, in Windows-1252 like every settings file.
    carpeta.escribir("bascora.ini",
                     "[Global]\r\nUsuario=Planta Norte.\r\nOrganizaci\xf3n=Cooperativa.\r\n"
                     "Comunicacion_1=1.\r\nHost_1=127.0.0.1.\r\nPort_1=5020.\r\n"
                     "Indicador_1=1.\r\n");
    frmAbout acerca;
    acerca.show();
    EXPECT_EQ(acerca.findChild<QLabel*>("lblUsuario")->text(), "Planta Norte");
    EXPECT_EQ(acerca.findChild<QLabel*>("lblOrganizacion")->text(), "Cooperativa");

    frmInfo info;
    const QString texto = info.findChild<QPlainTextEdit*>("txtInfo")->toPlainText();
    for (const char* dato : {"TCP 127.0.0.1:5020", "Mirto", "Com8   /dev/ttyS7"})
        EXPECT_TRUE(texto.contains(dato)) << dato << "\n" << texto.toStdString();

    // A double-click on the icon does nothing; with D held it opens the console.
    QLabel* icono = acerca.findChild<QLabel*>("picIcon");
    QTest::mouseDClick(icono, Qt::LeftButton);
    EXPECT_TRUE(acerca.isVisible());
    QTest::keyPress(&acerca, Qt::Key_D);
    QTest::mouseDClick(icono, Qt::LeftButton);
    EXPECT_FALSE(acerca.isVisible());
    frmDebug* consola = nullptr;
    for (QWidget* t : QApplication::topLevelWidgets())
        if (auto* d = qobject_cast<frmDebug*>(t); d && d->isVisible()) consola = d;
    ASSERT_NE(consola, nullptr);
    consola->close();
}

}  // namespace
