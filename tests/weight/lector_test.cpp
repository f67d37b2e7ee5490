// The live weight reader and window against the simulated indicator, through the link client:
// polls over TCP and a pty, the poll of 6 readings of 3 tries, no overlapping polls, the
// interface thread left free, the client freed when the reader goes, and the window's lamp, rows,
// "sin datos" and failure path.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QPointer>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "link/ClienteEnlace.h"
#include "settings/Config.h"
#include "tests/support/CarpetaTemporal.h"
#include "tests/support/InteraccionGuion.h"
#include "tests/support/SimuladorPrueba.h"
#include "weight/LectorPeso.h"
#include "weight/ui/FrmPeso.h"

namespace {

using simulador::Fallo;

// Short answer waits, through the link's own hook, so that failing polls end quickly.
class EsperasCortas {
  public:
    EsperasCortas() {
        qputenv("BASCORA_ESPERA_MS", "100");
        qputenv("BASCORA_ESPERA_CONEXION_MS", "500");
    }
    ~EsperasCortas() {
        qunsetenv("BASCORA_ESPERA_MS");
        qunsetenv("BASCORA_ESPERA_CONEXION_MS");
    }
};

class LectorSimulador : public ::testing::TestWithParam<bool> {
  protected:
    void SetUp() override {
        ASSERT_TRUE(GetParam() ? sim.puerto() != 0 : !sim.rutaPty().isEmpty());
        if (GetParam())
            sim.ConfigurarEnlaceTcp();
        else
            sim.ConfigurarEnlaceSerie();
        GuardarConfig("global", "Decimales_1", 2);
        cliente.fijarEsperas(100, 500, 50);
    }
    CarpetaTemporal carpeta;
    SimuladorPrueba sim{true};
    ClienteEnlace cliente;
};

TEST_P(LectorSimulador, PollsDoNotOverlapAndLeaveTheInterfaceFree) {
    // Four lost answers: the first reading fails, the second succeeds on its second try.
    sim.programarFallos({Fallo::Perder, Fallo::Perder, Fallo::Perder, Fallo::Perder});
    LectorPeso lector(cliente);
    QSignalSpy leido(&lector, &LectorPeso::Leido);
    QSignalSpy fallida(&lector, &LectorPeso::LecturaFallida);
    QSignalSpy fallido(&lector, &LectorPeso::Fallido);
    int ticks = 0;
    QTimer reloj;
    QObject::connect(&reloj, &QTimer::timeout, [&] { ++ticks; });
    reloj.start(10);
    ASSERT_TRUE(lector.Sondear());
    EXPECT_TRUE(lector.Ocupado());
    EXPECT_FALSE(lector.Sondear());  // skipped, not queued
    ASSERT_TRUE(leido.wait(5000));
    // The event loop kept turning while four answers were awaited.
    EXPECT_GE(ticks, 10);
    QTest::qWait(300);
    EXPECT_EQ(leido.size(), 1);
    EXPECT_EQ(fallida.size(), 1);
    EXPECT_EQ(fallido.size(), 0);
    EXPECT_EQ(sim.tramasRecibidas(3), 5);
}

// A failed poll is six readings of three tries; a reader closed mid-poll cancels its request, so
// the client is free at once for whoever comes next.
TEST_P(LectorSimulador, AFailedPollAndClosingDuringOne) {
    sim.programarFallos(QList<Fallo>(40, Fallo::Perder));
    auto lector = std::make_unique<LectorPeso>(cliente);
    QSignalSpy fallida(lector.get(), &LectorPeso::LecturaFallida);
    QSignalSpy fallido(lector.get(), &LectorPeso::Fallido);
    ASSERT_TRUE(lector->Sondear());
    ASSERT_TRUE(fallido.wait(15000));
    EXPECT_EQ(sim.tramasRecibidas(3), 18);
    EXPECT_EQ(fallida.size(), 6);
    EXPECT_FALSE(lector->Ocupado());
    cliente.fijarEsperas(2000, 500, 50);
    ASSERT_TRUE(lector->Sondear());
    QTest::qWait(150);
    lector.reset();
    sim.programarFallos({});
    QElapsedTimer t;
    t.start();
    SolicitudEnlace s;
    s.direccion = 0;
    s.cantidad = 8;
    EXPECT_TRUE(cliente.Ejecutar(s).exito);
    EXPECT_LT(t.elapsed(), 1500);
}

INSTANTIATE_TEST_SUITE_P(Lineas, LectorSimulador, ::testing::Values(true, false),
                         [](const auto& i) { return i.param ? "Tcp" : "Pty"; });

QLabel* Etiqueta(QWidget& v, const char* nombre) {
    return v.findChild<QLabel*>(nombre);
}
QColor Lampara(QWidget& v) {
    return v.findChild<QWidget*>("Shape_led")->property("color").value<QColor>();
}

class FrmPesoTest : public ::testing::Test {
  protected:
    void SetUp() override {
        QLocale::setDefault(QLocale::c());
        ASSERT_NE(sim->puerto(), 0);
        sim->ConfigurarEnlaceTcp();
        GuardarConfig("global", "Decimales_1", 1);
    }
    void TearDown() override { QLocale::setDefault(QLocale::system()); }
    EsperasCortas esperas;
    CarpetaTemporal carpeta;
    std::unique_ptr<SimuladorPrueba> sim = std::make_unique<SimuladorPrueba>();
    InteraccionGuion operador;
    ClienteEnlace cliente;
};

TEST_F(FrmPesoTest, ShowsTheWeightLampAndTareRowsAndClosesWhenTheIndicatorStops) {
    sim->indicador().fijarPeso(1500, 200, 8, false);
    frmPeso v(&operador, nullptr, &cliente);
    QSignalSpy cerrada(&v, &frmPeso::cerrada);
    v.show();
    QTRY_COMPARE_WITH_TIMEOUT(Etiqueta(v, "LblBruto")->text(), QString("150.0"), 5000);
    EXPECT_EQ(Etiqueta(v, "LblTara")->text(), "20.0");
    EXPECT_EQ(Etiqueta(v, "LblNeto")->text(), "130.0");
    EXPECT_TRUE(Etiqueta(v, "LblNeto")->isVisible());
    EXPECT_TRUE(Etiqueta(v, "Label4")->isVisible());
    EXPECT_EQ(Lampara(v), QColor(0, 255, 0));

    // No tare and a net of zero: one row left and the lamp red.
    sim->indicador().fijarPeso(0, 0, 0, false);
    QTRY_COMPARE_WITH_TIMEOUT(Etiqueta(v, "LblBruto")->text(), QString("0.0"), 5000);
    QTRY_VERIFY_WITH_TIMEOUT(!Etiqueta(v, "LblTara")->isVisible(), 2000);
    for (const char* n : {"LblNeto", "Label3", "Label4", "Label5", "Label6"})
        EXPECT_FALSE(Etiqueta(v, n)->isVisible()) << n;
    EXPECT_TRUE(Etiqueta(v, "Label1")->isVisible());
    EXPECT_EQ(Lampara(v), QColor(255, 0, 0));

    EXPECT_TRUE(operador.mensajes.isEmpty());

    // One reading lost: the values are greyed with "sin datos" until the next good one.
    EXPECT_FALSE(Etiqueta(v, "LblSinDatos")->isVisible());
    sim->programarFallos(QList<Fallo>(7, Fallo::Perder));
    QTRY_VERIFY_WITH_TIMEOUT(Etiqueta(v, "LblSinDatos")->isVisible(), 5000);
    EXPECT_EQ(Etiqueta(v, "LblSinDatos")->text(), "sin datos");
    EXPECT_FALSE(Etiqueta(v, "LblBruto")->isEnabled());
    EXPECT_EQ(Etiqueta(v, "LblBruto")->text(), "0.0");
    QTRY_VERIFY_WITH_TIMEOUT(!Etiqueta(v, "LblSinDatos")->isVisible(), 5000);
    EXPECT_TRUE(Etiqueta(v, "LblBruto")->isEnabled());

    // The indicator stops: the message, and the window closes.
    sim.reset();
    QTRY_COMPARE_WITH_TIMEOUT(cerrada.size(), 1, 15000);
    EXPECT_FALSE(v.isVisible());
    ASSERT_EQ(operador.mensajes.size(), 1);
    EXPECT_EQ(operador.mensajes[0].icono, Icono::Error);
}

// A port that does not open takes the failure path; the operator closes the window by hand while
// the failure message is up (the box runs its own event loop, as a message box does).
class OperadorQueCierra : public InteraccionGuion {
  public:
    void Avisar(const QString& texto, const QString& titulo, Icono icono) override {
        InteraccionGuion::Avisar(texto, titulo, icono);
        QEventLoop bucle;
        QTimer::singleShot(0, ventana, [this] { ventana->close(); });
        QTimer::singleShot(100, &bucle, &QEventLoop::quit);
        bucle.exec();
        seguiaAbierta = ventana && ventana->isVisible();
    }
    QPointer<QWidget> ventana;
    bool seguiaAbierta = false;
};

TEST_F(FrmPesoTest, ClosingDuringTheFailureMessageOfAPortThatDoesNotOpen) {
    GuardarConfig("Global", "Comunicacion_1", 0);
    GuardarConfig("Puertos", "2", carpeta.ruta("no-existe"));
    OperadorQueCierra operador;
    auto* v = new frmPeso(&operador, nullptr, &cliente);
    v->setAttribute(Qt::WA_DeleteOnClose);
    operador.ventana = v;
    QSignalSpy cerrada(v, &frmPeso::cerrada);
    v->show();
    QTRY_VERIFY_WITH_TIMEOUT(operador.ventana.isNull(), 15000);
    EXPECT_TRUE(operador.seguiaAbierta);
    EXPECT_EQ(cerrada.size(), 1);
    ASSERT_EQ(operador.mensajes.size(), 1);
    EXPECT_EQ(operador.mensajes[0].texto, "Error en la comunicación con la balanza");
}

// bascora-cli peso: one reading in its own process; "." as the separator whatever the locale.
TEST(PesoCli, PrintsOneReadingOrFails) {
    CarpetaTemporal carpeta;
    auto ejecutar = [&](QByteArray* salida) {
        EsperasCortas esperas;
        QProcess p;
        QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
        entorno.insert("LC_ALL", "es_ES.UTF-8");
        p.setProcessEnvironment(entorno);
        p.start(QStringLiteral(BASCORA_DIR_BINARIOS "/bascora-cli"),
                {"--carpeta", carpeta.ruta(), "peso"});
        if (!p.waitForFinished(30000)) return -1;
        *salida = p.readAllStandardOutput();
        return p.exitCode();
    };
    QByteArray salida;
    {
        SimuladorPrueba sim;
        sim.ConfigurarEnlaceTcp();
        GuardarConfig("global", "Decimales_1", 2);
        sim.indicador().fijarPeso(-250, 0, 5, false);
        EXPECT_EQ(ejecutar(&salida), 0);
        EXPECT_EQ(salida, "bruto -2.50\ntara 0.00\nneto -2.50\nbit0 1\nbit2 1\ntara_activa 0\n");
    }
    EXPECT_EQ(ejecutar(&salida), 1);
    EXPECT_TRUE(salida.isEmpty());
}

}  // namespace
