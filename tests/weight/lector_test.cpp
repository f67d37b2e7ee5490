// The live weight reader, window and command against the simulated indicator on 127.0.0.1.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QLabel>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "link/ClienteEnlace.h"
#include "settings/Config.h"
#include "tests/support/CarpetaTemporal.h"
#include "tests/support/InteraccionGuion.h"
#include "tests/support/ProcesoCli.h"
#include "tests/support/SimuladorPrueba.h"
#include "weight/LectorPeso.h"
#include "weight/ui/FrmPeso.h"

namespace {

using simulador::Fallo;

// Polls do not overlap and leave the interface thread free; a failed poll is six readings of
// three tries; a reader closed mid-poll cancels its request, so the client is free at once.
TEST(LectorPeso, PollsDoNotOverlapFailWholeAndFreeTheClientWhenClosed) {
    CarpetaTemporal carpeta;
    SimuladorPrueba sim;
    sim.ConfigurarEnlaceTcp();
    ClienteEnlace cliente;
    cliente.fijarEsperas(100, 500, 50);
    // Four lost answers: the first reading fails, the second succeeds on its second try.
    sim.programarFallos(QList<Fallo>(4, Fallo::Perder));
    auto lector = std::make_unique<LectorPeso>(cliente);
    QSignalSpy leido(lector.get(), &LectorPeso::Leido);
    QSignalSpy fallida(lector.get(), &LectorPeso::LecturaFallida);
    QSignalSpy fallido(lector.get(), &LectorPeso::Fallido);
    int ticks = 0;
    QTimer reloj;
    QObject::connect(&reloj, &QTimer::timeout, [&] { ++ticks; });
    reloj.start(10);
    ASSERT_TRUE(lector->Sondear());
    EXPECT_FALSE(lector->Sondear());  // skipped, not queued
    ASSERT_TRUE(leido.wait(5000));
    EXPECT_GE(ticks, 10);  // the event loop kept turning while four answers were awaited
    EXPECT_EQ(fallida.size(), 1);
    EXPECT_EQ(sim.tramasRecibidas(3), 5);

    sim.programarFallos(QList<Fallo>(40, Fallo::Perder));
    ASSERT_TRUE(lector->Sondear());
    ASSERT_TRUE(fallido.wait(15000));
    EXPECT_EQ(sim.tramasRecibidas(3), 5 + 18);
    EXPECT_EQ(fallida.size(), 1 + 6);

    cliente.fijarEsperas(2000, 500, 50);
    ASSERT_TRUE(lector->Sondear());
    QTest::qWait(150);
    lector.reset();
    sim.programarFallos({});
    QElapsedTimer t;
    t.start();
    SolicitudEnlace s;
    s.cantidad = 8;
    EXPECT_TRUE(cliente.Ejecutar(s).exito);
    EXPECT_LT(t.elapsed(), 1500);
}

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
        qputenv("BASCORA_ESPERA_MS", "100");  // failing polls end quickly
        sim->ConfigurarEnlaceTcp();
        GuardarConfig("global", "Decimales_1", 1);
    }
    void TearDown() override {
        QLocale::setDefault(QLocale::system());
        qunsetenv("BASCORA_ESPERA_MS");
    }
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
    EXPECT_EQ(Lampara(v), QColor(0, 255, 0));
    sim->indicador().fijarPeso(0, 0, 0, false);  // a net of zero: the lamp turns red
    QTRY_COMPARE_WITH_TIMEOUT(Lampara(v), QColor(255, 0, 0), 5000);
    // One reading lost: "sin datos" until the next good one.
    sim->programarFallos(QList<Fallo>(7, Fallo::Perder));
    QTRY_VERIFY_WITH_TIMEOUT(Etiqueta(v, "LblSinDatos")->isVisible(), 5000);
    QTRY_VERIFY_WITH_TIMEOUT(!Etiqueta(v, "LblSinDatos")->isVisible(), 5000);

    // The indicator stops: the message, and the window closes.
    sim.reset();
    QTRY_COMPARE_WITH_TIMEOUT(cerrada.size(), 1, 15000);
    EXPECT_EQ(operador.mensajes.size(), 1);
}

// A port that does not open takes the failure path; the operator closes the window by hand while
// the failure message is up (the box runs its own event loop, as a message box does).
class OperadorQueCierra : public InteraccionGuion {
  public:
    void Avisar(const QString& texto, const QString& titulo, Icono icono) override {
        InteraccionGuion::Avisar(texto, titulo, icono);
        QTimer::singleShot(0, ventana, [this] { ventana->close(); });
        QTest::qWait(100);
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
    EXPECT_EQ(operador.mensajes.size(), 1);
}

// bascora-cli peso: one reading in its own process; "." as the separator whatever the locale.
TEST(PesoCli, PrintsOneReadingOrFails) {
    CarpetaTemporal carpeta;
    qputenv("LC_ALL", "es_ES.UTF-8");
    QByteArray salida, errores;
    const QStringList peso{"--carpeta", carpeta.ruta(), "peso"};
    {
        SimuladorPrueba sim;
        sim.ConfigurarEnlaceTcp();
        GuardarConfig("global", "Decimales_1", 2);
        sim.indicador().fijarPeso(-250, 0, 5, false);
        EXPECT_EQ(EjecutarCli(peso, &salida, &errores), 0);
        EXPECT_EQ(salida, "bruto -2.50\ntara 0.00\nneto -2.50\nbit0 1\nbit2 1\ntara_activa 0\n");
    }
    EXPECT_EQ(EjecutarCli(peso, &salida, &errores), 1);
    EXPECT_TRUE(salida.isEmpty());
    qunsetenv("LC_ALL");
}

}  // namespace
