// The link client against the simulator: a late answer is never taken for another block's, frames
// that do not answer their request are never data, Cancel cuts a wait short, settings changes take
// effect at the next request, health per connection, and results reach the right thread.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <optional>
#include <thread>

#include "base/Globales.h"
#include "link/ClienteEnlace.h"
#include "settings/Config.h"
#include "tests/support/CarpetaTemporal.h"
#include "tests/support/SimuladorPrueba.h"

using simulador::Fallo;

namespace {

enum class Linea { Tcp, Serie };

SolicitudEnlace Lectura(int direccion, int cantidad) {
    SolicitudEnlace s;
    s.tipo = TipoSolicitud::Leer;
    s.direccion = direccion;
    s.cantidad = cantidad;
    return s;
}

SolicitudEnlace Escritura(int direccion, const QByteArray& dato) {
    SolicitudEnlace s;
    s.tipo = TipoSolicitud::Escribir;
    s.direccion = direccion;
    s.dato = dato;
    return s;
}

QByteArray Patron(int registros, char semilla) {
    QByteArray d;
    for (int i = 0; i < 2 * registros; ++i) d += char(semilla + i);
    return d;
}

class ClienteSimulado : public ::testing::TestWithParam<Linea> {
  protected:
    void SetUp() override {
        ASSERT_NE(sim.puerto(), 0);
        ASSERT_FALSE(sim.rutaPty().isEmpty());
        if (GetParam() == Linea::Tcp)
            sim.ConfigurarEnlaceTcp();
        else
            sim.ConfigurarEnlaceSerie();
    }
    CarpetaTemporal carpeta;
    SimuladorPrueba sim{true};
    ClienteEnlace cliente;
};

// Block 1's first try answered 2,100 ms late, after its 2,000 ms wait; the retry answered at once;
// block 2 answered 300 ms late. Taking the straggler for block 2 would hand back block 1's
// registers as block 2's: the result must be the right registers or a failed block.
TEST_P(ClienteSimulado, ALateAnswerIsNeverTakenForAnotherBlock) {
    const QByteArray esperado = Patron(16, 'a');
    sim.escribirRegistros(500, esperado);
    sim.escribirRegistros(600, Patron(8, 'A'));
    sim.indicador().agregarFallo(Fallo::Rezagar, 2100);
    sim.indicador().agregarFallo(Fallo::Ninguno);
    sim.indicador().agregarFallo(Fallo::Rezagar, 300);
    Reintentos = 0;
    const RespuestaEnlace r = cliente.Ejecutar(Lectura(500, 16));
    EXPECT_EQ(r.dato, esperado.left(r.dato.size()));
    EXPECT_EQ(r.dato.size() % 16, 0);
    EXPECT_TRUE(r.exito) << r.motivo.toStdString();
    EXPECT_EQ(r.reintentos, 1);
    EXPECT_EQ(Reintentos.load(), 1);
    // Nothing of it is left for the next request either.
    const RespuestaEnlace otra = cliente.Ejecutar(Lectura(600, 8));
    EXPECT_TRUE(otra.exito);
    EXPECT_EQ(otra.dato, Patron(8, 'A'));
    const SaludEnlace salud = cliente.Salud();
    EXPECT_EQ(salud.tiemposAgotados, 1u);
    EXPECT_EQ(salud.respuestasBuenas, 3u);
    EXPECT_EQ(salud.reintentos, 1u);
}

// Valid-CRC answers with a wrong slave address, function code, byte count or echo fail their try.
TEST_P(ClienteSimulado, AnswersThatDoNotAnswerTheRequestAreNeverData) {
    cliente.fijarEsperas(150, 500, 50);
    GuardarConfig("global", "ID_1", 3);
    sim.indicador().fijarId(3);
    sim.escribirRegistros(700, Patron(4, 'x'));
    sim.programarFallos({Fallo::OtroId, Fallo::OtraFuncion, Fallo::OtraCuenta});
    RespuestaEnlace r = cliente.Ejecutar(Lectura(700, 4));
    EXPECT_FALSE(r.exito);
    EXPECT_TRUE(r.dato.isEmpty());
    EXPECT_EQ(r.reintentos, 2);
    EXPECT_FALSE(r.motivo.isEmpty());
    // The same faults once each, then a good answer: the read succeeds with the right data.
    sim.programarFallos({Fallo::OtraCuenta, Fallo::OtroId, Fallo::Ninguno});
    r = cliente.Ejecutar(Lectura(700, 4));
    EXPECT_TRUE(r.exito);
    EXPECT_EQ(r.dato, Patron(4, 'x'));

    sim.programarFallos({Fallo::EcoFalso, Fallo::EcoFalso, Fallo::EcoFalso});
    r = cliente.Ejecutar(Escritura(710, "ZY"));
    EXPECT_FALSE(r.exito);
    sim.programarFallos({Fallo::EcoFalso, Fallo::Ninguno});
    r = cliente.Ejecutar(Escritura(710, "ZY"));
    EXPECT_TRUE(r.exito);
    EXPECT_EQ(r.reintentos, 1);
    EXPECT_EQ(sim.indicador().registro(710), 0x595A);

    const SaludEnlace salud = cliente.Salud();
    EXPECT_EQ(salud.tramasEnviadas, 11u);
    EXPECT_EQ(salud.respuestasMalformadas, 9u);
    EXPECT_EQ(salud.respuestasBuenas, 2u);
    EXPECT_EQ(salud.reintentos, 2u + 2u + 2u + 1u);
    EXPECT_FALSE(salud.ultimoFallo.isEmpty());
    EXPECT_TRUE(salud.ultimoIntercambio.isValid());
}

// Cancel ends a request inside its 2,000 ms answer wait, and the requests queued before it.
TEST_P(ClienteSimulado, CancelCutsTheWaitShort) {
    sim.programarFallos({Fallo::Perder});
    RespuestaEnlace r;
    qint64 duracion = 0;
    std::thread pide([&] {
        QElapsedTimer t;
        t.start();
        r = cliente.Ejecutar(Lectura(0, 8));
        duracion = t.elapsed();
    });
    QObject contexto;
    std::optional<RespuestaEnlace> encolada;
    QTest::qWait(300);
    cliente.Enviar(Lectura(0, 8), &contexto, [&](const RespuestaEnlace& x) { encolada = x; });
    cliente.Cancelar();
    pide.join();
    EXPECT_TRUE(r.cancelado);
    EXPECT_FALSE(r.exito);
    EXPECT_LT(duracion, 1500);
    QTRY_VERIFY(encolada.has_value());
    EXPECT_TRUE(encolada->cancelado);
    EXPECT_EQ(sim.tramasRecibidas(3), 1);

    // A request after the Cancel runs; one request of several can be cancelled by its number.
    EXPECT_TRUE(cliente.Ejecutar(Lectura(0, 8)).exito);
    std::optional<RespuestaEnlace> primera, segunda;
    sim.programarFallos({Fallo::Perder});
    cliente.Enviar(Lectura(0, 8), &contexto, [&](const RespuestaEnlace& x) { primera = x; });
    const quint64 n =
        cliente.Enviar(Lectura(0, 8), &contexto, [&](const RespuestaEnlace& x) { segunda = x; });
    cliente.Cancelar(n);
    QTRY_VERIFY_WITH_TIMEOUT(primera && segunda, 8000);
    EXPECT_TRUE(primera->exito);  // its retry was answered
    EXPECT_TRUE(segunda->cancelado);
}

INSTANTIATE_TEST_SUITE_P(Lineas, ClienteSimulado, ::testing::Values(Linea::Tcp, Linea::Serie),
                         [](const auto& i) { return i.param == Linea::Tcp ? "Tcp" : "Serie"; });

// The settings are read at every request: a new port is used at once; health is kept per
// connection.
TEST(ClienteEnlace, SettingsPerRequestAndHealthPerConnection) {
    CarpetaTemporal carpeta;
    SimuladorPrueba a, b;
    a.escribirRegistros(10, "AAAA");
    b.escribirRegistros(10, "BBBB");
    ClienteEnlace cliente;
    cliente.fijarEsperas(150, 500, 50);
    a.ConfigurarEnlaceTcp();
    EXPECT_EQ(cliente.Ejecutar(Lectura(10, 2)).dato, QByteArray("AAAA"));
    const QString conexionA = cliente.Salud().conexion;
    b.ConfigurarEnlaceTcp();
    EXPECT_EQ(cliente.Ejecutar(Lectura(10, 2)).dato, QByteArray("BBBB"));
    EXPECT_NE(cliente.Salud().conexion, conexionA);
    EXPECT_EQ(cliente.Salud().tramasEnviadas, 1u);
    EXPECT_EQ(cliente.Salud(conexionA).tramasEnviadas, 1u);
}

// Results reach the context's thread; a context that is gone gets nothing; a client that goes
// away ends what it had not reached as cancelled.
TEST(ClienteEnlace, ResultsReachTheContextThreadAndPendingOnesEndCancelled) {
    CarpetaTemporal carpeta;
    SimuladorPrueba sim;
    sim.ConfigurarEnlaceTcp();
    auto cliente = std::make_unique<ClienteEnlace>();
    QSignalSpy fines(cliente.get(), &ClienteEnlace::fin);
    QObject contexto;
    QThread* hiloDelResultado = nullptr;
    bool llegado = false;
    cliente->Enviar(Lectura(0, 8), &contexto, [&](const RespuestaEnlace& r) {
        hiloDelResultado = QThread::currentThread();
        llegado = r.exito;
    });
    auto efimero = std::make_unique<QObject>();
    bool alEfimero = false;
    cliente->Enviar(Lectura(0, 8), efimero.get(),
                    [&](const RespuestaEnlace&) { alEfimero = true; });
    efimero.reset();
    QTRY_VERIFY(llegado);
    EXPECT_EQ(hiloDelResultado, QThread::currentThread());
    QTRY_COMPARE(fines.size(), 2);
    QTest::qWait(50);
    EXPECT_FALSE(alEfimero);

    // Three requests stuck behind a silent indicator; the client goes.
    cliente->fijarEsperas(2000, 500);
    sim.programarFallos(QList<Fallo>(9, Fallo::Perder));
    std::vector<std::optional<RespuestaEnlace>> respuestas(3);
    std::thread pide([&] { respuestas[0] = cliente->Ejecutar(Lectura(0, 8)); });
    QTest::qWait(100);
    for (int i = 1; i < 3; ++i)
        cliente->Enviar(Lectura(0, 8), &contexto,
                        [&respuestas, i](const RespuestaEnlace& r) { respuestas[i] = r; });
    QElapsedTimer t;
    t.start();
    cliente.reset();
    pide.join();
    EXPECT_LT(t.elapsed(), 1500);
    QTRY_VERIFY(respuestas[1] && respuestas[2]);
    for (const auto& r : respuestas) EXPECT_TRUE(r->cancelado);
}

}  // namespace
