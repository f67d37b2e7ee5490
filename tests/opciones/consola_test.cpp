// The register console: its display of read data, its shortcut table, and its requests through
// the window against the simulated indicator on TCP.
#include <gtest/gtest.h>

#include <QLabel>
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

TEST(NulltoCR, AsciiCambiaCadaNulPorFinDeLineaYDecEscribeCodigosConGuion) {
    struct Caso {
        QByteArray dato;
        ModoVista modo;
        QString esperado;
    };
    const Caso casos[] = {
        {QByteArray("A\0\x10'", 4), ModoVista::Dec, "65-0-16-39-"},
        {QByteArray("Hola\0\0Mundo", 11), ModoVista::Ascii, "Hola\r\n\r\nMundo"},
        {QByteArray("\x80\xd1", 2), ModoVista::Ascii, QString::fromUtf8("€Ñ")},  // Windows-1252
        {QByteArray("\xff", 1), ModoVista::Dec, "255-"},
        {QByteArray(), ModoVista::Ascii, ""},
        {QByteArray(), ModoVista::Dec, ""},
    };
    for (const Caso& c : casos)
        EXPECT_EQ(NulltoCR(c.dato, c.modo), c.esperado) << c.esperado.toStdString();
    EXPECT_EQ(VistaHex(QByteArray("\x01\x02\x03", 3), 6524), " 6524: 01 02 03");
    EXPECT_EQ(VistaHex(QByteArray(18, '\xAB'), 10).split('\n').last(), "   18: AB AB");
}

TEST(Consola, NombreEnElMapaDeRegistros) {
    const std::pair<int, const char*> casos[] = {
        {6524, "DirMembrete"},
        {7036, "DirMembrete+512"},
        {7037, "DirTotal"},
        {0, "DirPeso"},
        {7, ""},
        {14703, "DirRecetas+299"},
        {14704, ""},
    };
    for (const auto& [direccion, nombre] : casos)
        EXPECT_EQ(NombreEnMapa(direccion), nombre) << direccion;
}

TEST(Consola, LosAtajosLlevanLaDireccionYLongitudDeCadaAreaDelMapa) {
    struct Esperado {
        const char* titulo;
        int direccion;
        int longitud;
    };
    const Esperado tabla[kAreasConsola] = {
        {"Teclado", 6, 1},       {"Lbl Codigos", 8, 12},   {"PLU", 20, 6500},
        {"PLU Flags", 6520, 4},  {"Membrete", 6524, 513},  {"Total", 7037, 3},
        {"Reporte", 7040, 6500}, {"Cnt Ok/B/A", 13542, 5}, {"Tot Prod", 13547, 625},
        {"Codigos", 14172, 32},  {"SP", 14204, 24},        {"Nomb Cod", 14228, 48},
        {"Nomb SP", 14276, 96},  {"Recetas", 14404, 300},
    };
    CarpetaTemporal carpeta;
    frmDebug v;
    for (int i = 0; i < kAreasConsola; ++i) {
        EXPECT_STREQ(kAreaConsola[i].titulo, tabla[i].titulo);
        auto* boton = v.findChild<QPushButton*>(QStringLiteral("Cmd_Dir_%1").arg(i));
        ASSERT_NE(boton, nullptr);
        v.findChild<QPlainTextEdit*>("Txt_RxD")->setPlainText("viejo");
        boton->click();
        EXPECT_EQ(v.findChild<QLineEdit*>("Txt_Direccion")->text().toInt(), tabla[i].direccion)
            << i;
        EXPECT_EQ(v.findChild<QLineEdit*>("Txt_Longitud")->text().toInt(), tabla[i].longitud) << i;
        EXPECT_EQ(v.findChild<QPlainTextEdit*>("Txt_RxD")->toPlainText(), "");
        EXPECT_EQ(v.findChild<QLabel*>("Lbl_Area")->text(), kAreaConsola[i].nombre);
    }
}

// An Enlace that records the request and answers from the simulator.
class EnlaceRegistrado : public Enlace {
  public:
    void Solicitar(PeticionEnlace& p) override {
        pedidos.append(p);
        directo.Solicitar(p);
    }
    EnlaceDirecto directo;
    QList<PeticionEnlace> pedidos;
};

class ConsolaSimulador : public ::testing::Test {
  protected:
    void SetUp() override {
        sim_.ConfigurarEnlaceTcp();
        enlace_.directo.fijarEsperas(300, 1000);
    }
    QString Salida() { return v_->findChild<QPlainTextEdit*>("Txt_RxD")->toPlainText(); }
    void Escribir(const char* caja, const QString& texto) {
        v_->findChild<QLineEdit*>(caja)->setText(texto);
    }
    void Pulsar(const char* boton) {
        v_->findChild<QPushButton*>(boton)->click();
        v_->EsperarPeticion();
    }

    CarpetaTemporal carpeta_;
    SimuladorPrueba sim_;
    EnlaceRegistrado enlace_;
    std::unique_ptr<frmDebug> v_ = std::make_unique<frmDebug>(nullptr, &enlace_);
};

TEST_F(ConsolaSimulador, MembreteSeLeeEn65TramasYSeMuestraComoTextoYHex) {
    QByteArray membrete(2 * 513, '\0');
    membrete.replace(0, 9, QByteArray("BASCULA\0X", 9));
    sim_.escribirRegistros(DirMembrete, membrete);
    v_->findChild<QPushButton*>("Cmd_Dir_4")->click();
    Pulsar("CmdLeer");
    EXPECT_EQ(sim_.tramasRecibidas(3), 65);
    ASSERT_EQ(enlace_.pedidos.size(), 1);
    EXPECT_EQ(enlace_.pedidos[0].Direccion, "6524");
    EXPECT_EQ(enlace_.pedidos[0].Longitud, "513");
    EXPECT_TRUE(Salida().startsWith("BASCULA\nX\n\n")) << Salida().left(20).toStdString();
    const QString hex = v_->findChild<QPlainTextEdit*>("Txt_Hex")->toPlainText();
    EXPECT_TRUE(hex.startsWith(" 6524: 42 41 53 43 55 4C 41 00 58 00"))
        << hex.left(40).toStdString();
    EXPECT_EQ(hex.split('\n').size(), 65);
}

TEST_F(ConsolaSimulador, EscribirMandaLoYHiYUnFalloMuestraError) {
    Escribir("Txt_Direccion", "6");
    Escribir("Txt_L", "65");
    Escribir("Txt_H", "0");
    v_->findChild<QPlainTextEdit*>("Txt_RxD")->setPlainText("sigue");
    Pulsar("CmdEscribir");
    ASSERT_EQ(enlace_.pedidos.size(), 1);
    EXPECT_EQ(enlace_.pedidos[0].Modo, "T");
    EXPECT_EQ(enlace_.pedidos[0].Dato, QByteArray("A\0", 2));  // 0x0041, low byte first
    EXPECT_EQ(sim_.tramasRecibidas(6), 1);
    EXPECT_EQ(Salida(), "sigue");  // success leaves the box alone

    Escribir("Txt_Direccion", "14204");
    Escribir("Txt_L", "1");
    Escribir("Txt_H", "2");
    Pulsar("CmdEscribir");
    EXPECT_EQ(sim_.leerRegistros(14204, 1), QByteArray("\x01\x02", 2));

    // Not numbers, or bytes out of range: nothing is sent and the box says ERROR.
    const int antes = sim_.tramasRecibidas(0);
    for (const auto& [l, h] : {std::pair{"256", "0"}, {"x", "0"}, {"1", "-1"}}) {
        Escribir("Txt_L", l);
        Escribir("Txt_H", h);
        v_->findChild<QPlainTextEdit*>("Txt_RxD")->clear();
        Pulsar("CmdEscribir");
        EXPECT_EQ(Salida(), "ERROR") << l << "," << h;
    }
    Escribir("Txt_Longitud", "diez");
    Pulsar("CmdLeer");
    EXPECT_EQ(Salida(), "ERROR");
    // Length zero sends nothing and is a success.
    Escribir("Txt_Longitud", "0");
    Pulsar("CmdLeer");
    EXPECT_EQ(Salida(), "");
    EXPECT_EQ(sim_.tramasRecibidas(0), antes);
    EXPECT_EQ(enlace_.pedidos.size(), 2);

    // An indicator that does not answer.
    sim_.fijarFallos({.perder = 1.0});
    Escribir("Txt_Longitud", "2");
    Pulsar("CmdLeer");
    EXPECT_EQ(Salida(), "ERROR");
}

}  // namespace
