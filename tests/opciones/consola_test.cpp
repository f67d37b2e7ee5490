// The register console: its display of read data, its shortcut table, and its requests through
// the window against the simulated indicator on TCP.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

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
        {6530, "DirMembrete+6"},
        {7036, "DirMembrete+512"},
        {7037, "DirTotal"},
        {14396, "DirEstado"},
        {13541, "DirBloqueo"},
        {0, "DirPeso"},
        {7, ""},
        {14704, ""},
        {14703, "DirRecetas+299"},
    };
    for (const auto& [direccion, nombre] : casos)
        EXPECT_EQ(NombreEnMapa(direccion), nombre) << direccion;
    CarpetaTemporal carpeta;
    frmDebug v;
    v.findChild<QLineEdit*>("Txt_Direccion")->setText("14400");
    EXPECT_EQ(v.findChild<QLabel*>("Lbl_Area")->text(), "");
    v.findChild<QLineEdit*>("Txt_Direccion")->setText("14410");
    EXPECT_EQ(v.findChild<QLabel*>("Lbl_Area")->text(), "DirRecetas+6");
}

TEST(Consola, LosAtajosLlevanLaDireccionYLongitudDeCadaAreaDelMapa) {
    struct Esperado {
        const char* titulo;
        int direccion;
        int longitud;
    };
    const Esperado tabla[kAreasConsola] = {
        {"Teclado", DirComando, 1},
        {"Lbl Codigos", DirLblCodigos, 12},
        {"PLU", DirPLU, 6500},
        {"PLU Flags", DirPLUFlags, 4},
        {"Membrete", DirMembrete, 513},
        {"Total", DirTotal, 3},
        {"Reporte", DirAuditoria, 6500},
        {"Cnt Ok/B/A", DirContadores, 5},
        {"Tot Prod", DirTotales, 625},
        {"Codigos", DirCodigos, 32},
        {"SP", DirSP, 24},
        {"Nomb Cod", DirNombCod, 48},
        {"Nomb SP", DirNombSP, 96},
        {"Recetas", DirRecetas, 300},
    };
    const int direcciones[kAreasConsola] = {6,     8,     20,    6520,  6524,  7037,  7040,
                                            13542, 13547, 14172, 14204, 14228, 14276, 14404};
    CarpetaTemporal carpeta;
    frmDebug v;
    for (int i = 0; i < kAreasConsola; ++i) {
        EXPECT_STREQ(kAreaConsola[i].titulo, tabla[i].titulo);
        EXPECT_EQ(kAreaConsola[i].direccion, direcciones[i]) << i;
        EXPECT_EQ(kAreaConsola[i].longitud, tabla[i].longitud) << i;
        auto* boton = v.findChild<QPushButton*>(QStringLiteral("Cmd_Dir_%1").arg(i));
        ASSERT_NE(boton, nullptr);
        EXPECT_EQ(boton->text(), tabla[i].titulo);
        v.findChild<QPlainTextEdit*>("Txt_RxD")->setPlainText("viejo");
        boton->click();
        EXPECT_EQ(v.findChild<QLineEdit*>("Txt_Direccion")->text(),
                  QString::number(direcciones[i]));
        EXPECT_EQ(v.findChild<QLineEdit*>("Txt_Longitud")->text(),
                  QString::number(tabla[i].longitud));
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

TEST_F(ConsolaSimulador, MembreteSeLeeEn65TramasYSeMuestraComoTextoDecimalYHex) {
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
    v_->findChild<QRadioButton*>("Opt_rx_1")->click();
    EXPECT_TRUE(Salida().startsWith("66-65-83-67-85-76-65-0-88-0-0-"));
}

TEST_F(ConsolaSimulador, LongitudCeroNoEnviaNadaYEsExito) {
    Escribir("Txt_Direccion", "6524");
    Escribir("Txt_Longitud", "0");
    v_->findChild<QPlainTextEdit*>("Txt_RxD")->setPlainText("antes");
    Pulsar("CmdLeer");
    EXPECT_EQ(sim_.tramasRecibidas(0), 0);
    EXPECT_TRUE(enlace_.pedidos.isEmpty());
    EXPECT_EQ(Salida(), "");
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
    EXPECT_EQ(sim_.tramasRecibidas(0), antes);

    // An indicator that does not answer.
    sim_.fijarFallos({.perder = 1.0});
    Escribir("Txt_Longitud", "2");
    Pulsar("CmdLeer");
    EXPECT_EQ(Salida(), "ERROR");
}

}  // namespace
