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

#include "link/ClienteEnlace.h"
#include "settings/Config.h"
#include "tests/link/LineaSimulada.h"

using simulador::Fallo;

namespace {

QByteArray Patron(int registros, char semilla) {
    QByteArray d;
    for (int i = 0; i < 2 * registros; ++i) d += char(semilla + i);
    return d;
}

// How stale bytes are dropped differs by line (quiet guard on serial, reconnection on TCP).
class ClienteSimulado : public LineaSimulada {
  protected:
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
    const RespuestaEnlace r = cliente.Ejecutar(Solicitud(500, 16));
    EXPECT_EQ(r.dato, esperado);
    EXPECT_TRUE(r.exito) << r.motivo.toStdString();
    EXPECT_EQ(r.reintentos, 1);
    // Nothing of it is left for the next request either.
    const RespuestaEnlace otra = cliente.Ejecutar(Solicitud(600, 8));
    EXPECT_TRUE(otra.exito);
    EXPECT_EQ(otra.dato, Patron(8, 'A'));
    EXPECT_EQ(cliente.Salud().tiemposAgotados, 1u);
    EXPECT_EQ(cliente.Salud().respuestasBuenas, 3u);
}

// Valid-CRC answers with a wrong slave address, function code, byte count or echo fail their try.
TEST_P(ClienteSimulado, AnswersThatDoNotAnswerTheRequestAreNeverData) {
    cliente.fijarEsperas(150, 500, 50);
    GuardarConfig("global", "ID_1", 3);
    sim.indicador().fijarId(3);
    sim.escribirRegistros(700, Patron(4, 'x'));
    sim.programarFallos({Fallo::OtroId, Fallo::OtraFuncion, Fallo::OtraCuenta});
    RespuestaEnlace r = cliente.Ejecutar(Solicitud(700, 4));
    EXPECT_FALSE(r.exito);
    EXPECT_TRUE(r.dato.isEmpty());
    EXPECT_FALSE(r.motivo.isEmpty());
    // The same faults once each, then a good answer: the read succeeds with the right data.
    sim.programarFallos({Fallo::OtraCuenta, Fallo::OtroId, Fallo::Ninguno});
    r = cliente.Ejecutar(Solicitud(700, 4));
    EXPECT_TRUE(r.exito);
    EXPECT_EQ(r.dato, Patron(4, 'x'));

    const SolicitudEnlace escritura = Solicitud(710, 0, "ZY");
    sim.programarFallos({Fallo::EcoFalso, Fallo::EcoFalso, Fallo::EcoFalso});
    EXPECT_FALSE(cliente.Ejecutar(escritura).exito);
    sim.programarFallos({Fallo::EcoFalso, Fallo::Ninguno});
    EXPECT_TRUE(cliente.Ejecutar(escritura).exito);
    EXPECT_EQ(sim.indicador().registro(710), 0x595A);

    EXPECT_EQ(cliente.Salud().respuestasMalformadas, 9u);
    EXPECT_EQ(cliente.Salud().reintentos, 2u + 2u + 2u + 1u);
}

INSTANTIATE_TEST_SUITE_P(Lineas, ClienteSimulado, ::testing::Values(Linea::Tcp, Linea::Serie),
                         NombreLinea);

// Cancel ends a request inside its 2,000 ms answer wait and the ones queued before it; results
// reach the context's thread, a context that is gone gets nothing, and a client that goes away
// ends what it had not reached as cancelled. The settings are read at every request, and health is
// kept per connection.
TEST(ClienteEnlace, SettingsCancelResultsAndAClientThatGoes) {
    CarpetaTemporal carpeta;
    SimuladorPrueba sim, otro;
    sim.escribirRegistros(10, "AAAA");
    otro.escribirRegistros(10, "BBBB");
    otro.ConfigurarEnlaceTcp();
    auto cliente = std::make_unique<ClienteEnlace>();
    EXPECT_EQ(cliente->Ejecutar(Solicitud(10, 2)).dato, QByteArray("BBBB"));
    const QString primeraConexion = cliente->Salud().conexion;
    sim.ConfigurarEnlaceTcp();
    EXPECT_EQ(cliente->Ejecutar(Solicitud(10, 2)).dato, QByteArray("AAAA"));
    EXPECT_NE(cliente->Salud().conexion, primeraConexion);
    EXPECT_EQ(cliente->Salud(primeraConexion).tramasEnviadas, 1u);
    sim.indicador().reiniciarContadores();

    QObject contexto;
    auto enviar = [&](std::optional<RespuestaEnlace>& destino, QObject* a = nullptr) {
        return cliente->Enviar(Solicitud(0, 8), a ? a : &contexto,
                               [&destino](const RespuestaEnlace& x) { destino = x; });
    };
    sim.programarFallos({Fallo::Perder});
    RespuestaEnlace r;
    QElapsedTimer t;
    t.start();
    std::thread pide([&] { r = cliente->Ejecutar(Solicitud(0, 8)); });
    std::optional<RespuestaEnlace> encolada, primera, segunda, alEfimero;
    QTest::qWait(300);
    enviar(encolada);
    cliente->Cancelar();
    pide.join();
    EXPECT_TRUE(r.cancelado);
    EXPECT_FALSE(r.exito);
    EXPECT_LT(t.elapsed(), 1800);
    QTRY_VERIFY(encolada.has_value());
    EXPECT_TRUE(encolada->cancelado);
    EXPECT_EQ(sim.tramasRecibidas(3), 1);

    // After the Cancel requests run again; one of several can be cancelled by its number.
    sim.programarFallos({Fallo::Perder});
    enviar(primera);
    cliente->Cancelar(enviar(segunda));
    QTRY_VERIFY_WITH_TIMEOUT(primera && segunda, 8000);
    EXPECT_TRUE(primera->exito);  // its retry was answered
    EXPECT_TRUE(segunda->cancelado);

    QSignalSpy fines(cliente.get(), &ClienteEnlace::fin);
    QThread* hiloDelResultado = nullptr;
    cliente->Enviar(Solicitud(0, 8), &contexto,
                    [&](const RespuestaEnlace&) { hiloDelResultado = QThread::currentThread(); });
    auto efimero = std::make_unique<QObject>();
    enviar(alEfimero, efimero.get());
    efimero.reset();
    QTRY_COMPARE(fines.size(), 2);
    EXPECT_EQ(hiloDelResultado, QThread::currentThread());
    QTest::qWait(50);
    EXPECT_FALSE(alEfimero.has_value());

    // Three requests stuck behind a silent indicator; the client goes.
    cliente->fijarEsperas(2000, 500);
    sim.programarFallos(QList<Fallo>(9, Fallo::Perder));
    std::vector<std::optional<RespuestaEnlace>> respuestas(3);
    std::thread atascada([&] { respuestas[0] = cliente->Ejecutar(Solicitud(0, 8)); });
    QTest::qWait(100);
    enviar(respuestas[1]);
    enviar(respuestas[2]);
    t.start();
    cliente.reset();
    atascada.join();
    EXPECT_LT(t.elapsed(), 1500);
    QTRY_VERIFY(respuestas[1] && respuestas[2]);
    for (const auto& x : respuestas) EXPECT_TRUE(x->cancelado);
}

}  // namespace
