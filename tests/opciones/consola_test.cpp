// The register console: its display of read data, and its requests through the window against
// the simulated indicator on TCP.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "base/Globales.h"
#include "link/Consola.h"
#include "link/EnlaceDirecto.h"
#include "link/ui/FrmDebug.h"
#include "tests/support/CarpetaTemporal.h"
#include "tests/support/SimuladorPrueba.h"

namespace {

// Decimal codes with a dash; text in Windows-1252 with a line break for every nul.
TEST(Consola, VistasDeLosDatos) {
    EXPECT_EQ(NulltoCR(QByteArray("A\0\xff", 3), ModoVista::Dec), "65-0-255-");
    EXPECT_EQ(NulltoCR(QByteArray("\x80\0\xd1", 3), ModoVista::Ascii), QString::fromUtf8("€\r\nÑ"));
    EXPECT_EQ(NulltoCR(QByteArray(), ModoVista::Dec), "");
    EXPECT_EQ(NombreEnMapa(7036), "DirMembrete+512");
}

// A shortcut fills the letterhead's address and length: 65 frames shown as text and hex. Writes
// send low and high bytes; bad fields send nothing and say ERROR, as does a silent indicator.
TEST(Consola, LeeYEscribeContraElIndicador) {
    CarpetaTemporal carpeta;
    SimuladorPrueba sim;
    sim.ConfigurarEnlaceTcp();
    EnlaceDirecto enlace;
    enlace.fijarEsperas(300, 1000);
    frmDebug v(nullptr, &enlace);
    auto salida = [&] { return v.findChild<QPlainTextEdit*>("Txt_RxD")->toPlainText(); };
    auto escribir = [&](const char* caja, const QString& texto) {
        v.findChild<QLineEdit*>(caja)->setText(texto);
    };
    auto pulsar = [&](const char* boton) {
        v.findChild<QPushButton*>(boton)->click();
        v.EsperarPeticion();
    };

    QByteArray membrete(2 * 513, '\0');
    membrete.replace(0, 9, QByteArray("BASCULA\0X", 9));
    sim.escribirRegistros(DirMembrete, membrete);
    v.findChild<QPushButton*>("Cmd_Dir_4")->click();
    pulsar("CmdLeer");
    EXPECT_EQ(sim.tramasRecibidas(3), 65);
    EXPECT_TRUE(salida().startsWith("BASCULA\nX\n\n")) << salida().left(20).toStdString();
    const QString hex = v.findChild<QPlainTextEdit*>("Txt_Hex")->toPlainText();
    EXPECT_TRUE(hex.startsWith(" 6524: 42 41 53 43 55 4C 41 00 58 00"));
    EXPECT_TRUE(hex.split('\n').last().startsWith(" 7036: 00"));

    escribir("Txt_Direccion", "14204");
    escribir("Txt_L", "1");
    escribir("Txt_H", "2");
    v.findChild<QPlainTextEdit*>("Txt_RxD")->setPlainText("sigue");
    pulsar("CmdEscribir");
    EXPECT_EQ(sim.leerRegistros(14204, 1), QByteArray("\x01\x02", 2));
    EXPECT_EQ(salida(), "sigue");  // success leaves the box alone

    const int antes = sim.tramasRecibidas(0);
    for (const auto& [l, h] : {std::pair{"256", "0"}, {"x", "0"}, {"1", "-1"}}) {
        escribir("Txt_L", l);
        escribir("Txt_H", h);
        v.findChild<QPlainTextEdit*>("Txt_RxD")->clear();
        pulsar("CmdEscribir");
        EXPECT_EQ(salida(), "ERROR") << l << "," << h;
    }
    escribir("Txt_Longitud", "diez");
    pulsar("CmdLeer");
    EXPECT_EQ(salida(), "ERROR");
    escribir("Txt_Longitud", "0");  // sends nothing and is a success
    pulsar("CmdLeer");
    EXPECT_EQ(salida(), "");
    EXPECT_EQ(sim.tramasRecibidas(0), antes);

    sim.fijarFallos({.perder = 1.0});
    escribir("Txt_Longitud", "2");
    pulsar("CmdLeer");
    EXPECT_EQ(salida(), "ERROR");
}

}  // namespace
