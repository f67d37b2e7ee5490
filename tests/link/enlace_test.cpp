// The link end to end against the simulator, over TCP on 127.0.0.1 and over a pty.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QSerialPort>
#include <QTcpServer>

#include "base/Globales.h"
#include "link/EnlaceDirecto.h"
#include "settings/Config.h"
#include "tests/link/LineaSimulada.h"

using simulador::Fallo;

namespace {

PeticionEnlace Peticion(const char* modo, const char* direccion, const char* longitud) {
    PeticionEnlace p;
    p.Modo = modo;
    p.Direccion = direccion;
    p.Longitud = longitud;
    return p;
}

using EnlaceSimulado = LineaSimulada;

// Reads, writes and the setup command; dropped, damaged, cut and long answers.
TEST_P(EnlaceSimulado, RequestsAndInjectedFaults) {
    EnlaceDirecto enlace;
    enlace.fijarEsperas(150, 500, 100);
    QByteArray dato;
    sim.escribirRegistros(20, "Hola mundo!!");
    ASSERT_TRUE(LeerRegistros(enlace, 20, 6, &dato));
    EXPECT_EQ(dato, QByteArray("Hola mundo!!"));
    ASSERT_TRUE(EscribirRegistros(enlace, 6524, "ABC"));
    EXPECT_EQ(sim.leerRegistros(6524, 2), QByteArray("ABC\0", 4));
    sim.fijarSetup(QByteArray(90, '\x07'));
    EXPECT_EQ(EnviarComando(enlace, "M"), QByteArray(90, '\x07'));
    EXPECT_TRUE(EnviarComando(enlace, "X").isEmpty());  // no answer to other commands

    // Block 1: dropped, then good. Block 2: bad CRC, short, long -> fails; the read stops.
    sim.indicador().reiniciarContadores();
    Reintentos = 0;
    sim.programarFallos(
        {Fallo::Perder, Fallo::Ninguno, Fallo::CrcMalo, Fallo::Cortar, Fallo::Alargar});
    EXPECT_FALSE(LeerRegistros(enlace, 100, 24, &dato));
    EXPECT_EQ(dato.size(), 16);
    EXPECT_EQ(sim.tramasRecibidas(3), 5);
    EXPECT_EQ(Reintentos.load(), 1 + 2);
}

INSTANTIATE_TEST_SUITE_P(Lineas, EnlaceSimulado, ::testing::Values(Linea::Tcp, Linea::Serie),
                         NombreLinea);

// Port n maps to Puertos/n when set, else /dev/ttyS(n-1); a device that is missing or held by
// another program fails every request without a hang, and the link works once it is free. Bad
// request fields send nothing; Cancel stops a read after the current block.
TEST(EnlaceDirecto, PortsRequestFieldsAndCancel) {
    CarpetaTemporal carpeta;
    GuardarConfig("Global", "Baudios_1", 3);
    GuardarConfig("Global", "Comm_1", 4);
    EXPECT_EQ(LeerAjustesLinea().baudios, 9600);
    EXPECT_EQ(LeerAjustesLinea().dispositivo, "/dev/ttyS3");
    GuardarConfig("Puertos", "4", carpeta.ruta("no-such-tty"));
    EnlaceDirecto enlace;
    enlace.fijarEsperas(50);
    EXPECT_EQ(LeerAjustesLinea().dispositivo, carpeta.ruta("no-such-tty"));
    EXPECT_FALSE(EscribirRegistros(enlace, 0, "AB"));

    SimuladorPrueba sim(true);
    ASSERT_FALSE(sim.rutaPty().isEmpty());
    sim.ConfigurarEnlaceSerie();
    QByteArray dato;
    {
        QSerialPort otro(sim.rutaPty());
        ASSERT_TRUE(otro.open(QIODevice::ReadWrite));
        EXPECT_FALSE(LeerRegistros(enlace, 0, 8, &dato));
        EXPECT_FALSE(LeerRegistros(enlace, 0, 8, &dato));
        EXPECT_EQ(sim.tramasRecibidas(), 0);
    }
    EXPECT_TRUE(LeerRegistros(enlace, 0, 8, &dato));

    sim.indicador().reiniciarContadores();
    const char* malas[][2] = {{"abc", "8"}, {"0", "x"}, {"0", "0"}, {"-1", "8"}, {"65536", "1"}};
    for (const auto& m : malas) {
        PeticionEnlace p = Peticion("R", m[0], m[1]);
        enlace.Solicitar(p);
        EXPECT_FALSE(p.Exito) << m[0] << " " << m[1];
        EXPECT_TRUE(p.Dato.isEmpty());
    }
    PeticionEnlace p = Peticion("T", "x1", "");
    p.Dato = "AB";
    p.Exito = true;
    enlace.Solicitar(p);
    EXPECT_FALSE(p.Exito);
    EXPECT_EQ(p.Dato, QByteArray("AB"));  // a write leaves Dato alone
    EXPECT_EQ(sim.tramasRecibidas(), 0);

    std::atomic<bool> cancelado{false};
    int bloques = 0;
    enlace.fijarCancelacion(&cancelado);
    enlace.fijarProgreso([&](int x) {
        if (x > 0 && x < 100 && ++bloques == 4) cancelado = true;
    });
    p = Peticion("R", "20", "160");
    enlace.Solicitar(p);
    EXPECT_FALSE(p.Exito);
    EXPECT_TRUE(p.Cancelado);
    EXPECT_EQ(p.Dato.size(), 64);
    EXPECT_EQ(sim.tramasRecibidas(3), 4);
}

// The real waits: a refused connection costs the 2000 ms connection wait and then the three
// answer waits; a silent indicator costs 2000 ms per attempt.
TEST(EnlaceTiempos, RealWaitsAreTwoSeconds) {
    CarpetaTemporal carpeta;
    SimuladorPrueba sim;
    sim.ConfigurarEnlaceTcp();
    sim.programarFallos({Fallo::Perder, Fallo::Ninguno});
    EnlaceDirecto enlace;
    QByteArray dato;
    QElapsedTimer t;
    t.start();
    EXPECT_TRUE(LeerRegistros(enlace, 0, 1, &dato));
    EXPECT_GE(t.elapsed(), 1990);
    EXPECT_LT(t.elapsed(), 3500);
    {
        QTcpServer s;
        ASSERT_TRUE(s.listen(QHostAddress::LocalHost, 0));
        GuardarConfig("Global", "Port_1", int(s.serverPort()));
    }
    enlace.fijarEsperas(100);
    t.start();
    EXPECT_FALSE(LeerRegistros(enlace, 0, 8, &dato));
    EXPECT_GE(t.elapsed(), 2000 + 3 * 100 - 10);
    EXPECT_LT(t.elapsed(), 4000);
}

}  // namespace
