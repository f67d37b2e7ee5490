// The link end to end against the simulator, over TCP on 127.0.0.1 and over a pty.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QSerialPort>
#include <QTcpServer>

#include "base/Globales.h"
#include "link/EnlaceDirecto.h"
#include "settings/Config.h"
#include "tests/support/CarpetaTemporal.h"
#include "tests/support/SimuladorPrueba.h"

using simulador::Fallo;

namespace {

enum class Linea { Tcp, Serie };

class EnlaceSimulado : public ::testing::TestWithParam<Linea> {
  protected:
    void SetUp() override {
        ASSERT_NE(sim.puerto(), 0);
        ASSERT_FALSE(sim.rutaPty().isEmpty());
        if (GetParam() == Linea::Tcp)
            sim.ConfigurarEnlaceTcp();
        else
            sim.ConfigurarEnlaceSerie();
        enlace.fijarEsperas(150, 500, 100);
        Reintentos = 0;
    }
    PeticionEnlace Lectura(const char* direccion, const char* longitud) {
        PeticionEnlace p;
        p.Modo = "R";
        p.Direccion = direccion;
        p.Longitud = longitud;
        enlace.Solicitar(p);
        return p;
    }
    CarpetaTemporal carpeta;
    SimuladorPrueba sim{true};
    EnlaceDirecto enlace;
};

// Reads, writes and the setup command.
TEST_P(EnlaceSimulado, ReadsWritesAndCommands) {
    QByteArray dato;
    sim.escribirRegistros(20, "Hola mundo!!");
    ASSERT_TRUE(LeerRegistros(enlace, 20, 6, &dato));
    EXPECT_EQ(dato, QByteArray("Hola mundo!!"));
    ASSERT_TRUE(EscribirRegistros(enlace, 6524, "ABC"));
    EXPECT_EQ(sim.indicador().registro(6524), 0x4241);
    EXPECT_EQ(sim.indicador().registro(6525), 0x0043);
    sim.fijarSetup(QByteArray(90, '\x07'));
    EXPECT_EQ(EnviarComando(enlace, "M"), QByteArray(90, '\x07'));
    EXPECT_TRUE(EnviarComando(enlace, "X").isEmpty());  // no answer to other commands
}

TEST_P(EnlaceSimulado, InjectedFaultsCostRetries) {
    sim.indicador().reiniciarContadores();
    // Block 1: dropped, then good. Block 2: bad CRC, short, long -> fails; the read stops.
    sim.programarFallos(
        {Fallo::Perder, Fallo::Ninguno, Fallo::CrcMalo, Fallo::Cortar, Fallo::Alargar});
    QByteArray dato;
    EXPECT_FALSE(LeerRegistros(enlace, 100, 24, &dato));
    EXPECT_EQ(dato.size(), 16);
    EXPECT_EQ(sim.tramasRecibidas(3), 5);
    EXPECT_EQ(Reintentos.load(), 1 + 2);

    // An answer late within the wait is taken.
    simulador::AjustesFallos f;
    f.retardoMs = 40;
    sim.fijarFallos(f);
    sim.programarFallos({Fallo::Tardar});
    Reintentos = 0;
    EXPECT_TRUE(LeerRegistros(enlace, 0, 8, &dato));
    EXPECT_EQ(Reintentos.load(), 0);

    // A wrong slave address gets no answer: three tries.
    sim.fijarFallos({});
    sim.indicador().fijarId(5);
    sim.indicador().reiniciarContadores();
    EXPECT_FALSE(LeerRegistros(enlace, 0, 8, &dato));
    EXPECT_EQ(sim.tramasRecibidas(3), 3);
    GuardarConfig("global", "ID_1", 5);
    EXPECT_TRUE(LeerRegistros(enlace, 0, 8, &dato));
}

INSTANTIATE_TEST_SUITE_P(Lineas, EnlaceSimulado, ::testing::Values(Linea::Tcp, Linea::Serie),
                         [](const auto& i) { return i.param == Linea::Tcp ? "Tcp" : "Serie"; });

// The request fields and Cancel do not depend on the line: TCP only.
class EnlaceTcp : public EnlaceSimulado {
  protected:
    void SetUp() override {
        sim.ConfigurarEnlaceTcp();
        enlace.fijarEsperas(150, 500);
    }
};

TEST_F(EnlaceTcp, BadRequestFieldsFailCleanlyAndCancelStopsAfterTheCurrentBlock) {
    const char* malas[][2] = {{"abc", "8"},   {"0", "x"}, {"0", "0"}, {"-1", "8"},
                              {"65536", "1"}, {"", "8"},  {"0", "-5"}};
    for (const auto& m : malas) {
        const PeticionEnlace p = Lectura(m[0], m[1]);
        EXPECT_FALSE(p.Exito) << m[0] << " " << m[1];
        EXPECT_TRUE(p.Dato.isEmpty());
    }
    EXPECT_EQ(sim.tramasRecibidas(), 0);
    PeticionEnlace p;
    p.Modo = "T";
    p.Direccion = "x1";
    p.Dato = "AB";
    p.Exito = true;
    enlace.Solicitar(p);
    EXPECT_FALSE(p.Exito);
    EXPECT_EQ(p.Dato, QByteArray("AB"));  // a write leaves Dato alone

    // Mode "C" leaves Exito as it was; an unknown mode sends nothing.
    p.Modo = "C";
    p.Dato = "M";
    p.Exito = true;
    sim.programarFallos({Fallo::Perder});
    enlace.Solicitar(p);
    EXPECT_TRUE(p.Exito);
    EXPECT_TRUE(p.Dato.isEmpty());
    p.Modo = "Z";
    p.Exito = false;
    enlace.Solicitar(p);
    EXPECT_FALSE(p.Exito);

    // Cancel stops the read after the current block.
    sim.indicador().reiniciarContadores();
    std::atomic<bool> cancelado{false};
    int bloques = 0;
    enlace.fijarCancelacion(&cancelado);
    enlace.fijarProgreso([&](int p) {
        if (p > 0 && p < 100 && ++bloques == 4) cancelado = true;
    });
    p = Lectura("20", "160");
    EXPECT_FALSE(p.Exito);
    EXPECT_TRUE(p.Cancelado);
    EXPECT_EQ(p.Dato.size(), 64);
    EXPECT_EQ(sim.tramasRecibidas(3), 4);
}

TEST(AjustesLinea, PortMappingSettingsAndAMissingDevice) {
    CarpetaTemporal carpeta;
    AjustesLinea a = LeerAjustesLinea();
    EXPECT_EQ(a.dispositivo, "/dev/ttyS1");
    // Port 2, the default, mapped to a device that does not exist: the request just fails.
    GuardarConfig("Puertos", "2", carpeta.ruta("no-such-tty"));
    EXPECT_EQ(LeerAjustesLinea().dispositivo, carpeta.ruta("no-such-tty"));
    EnlaceDirecto enlace;
    enlace.fijarEsperas(50);
    EXPECT_FALSE(EscribirRegistros(enlace, 0, "AB"));
    GuardarConfig("Global", "Baudios_1", 3);
    GuardarConfig("Global", "Comm_1", 4);
    GuardarConfig("Global", "Comunicacion_1", 1);
    a = LeerAjustesLinea();
    EXPECT_EQ(a.baudios, 9600);
    EXPECT_EQ(a.dispositivo, "/dev/ttyS3");
    EXPECT_EQ(a.comunicacion, 1);
}

// The real waits: a refused connection costs the 2000 ms connection wait and then the three
// answer waits; a silent indicator costs 2000 ms per attempt.
TEST(EnlaceTiempos, RealWaitsAreTwoSeconds) {
    CarpetaTemporal carpeta;
    quint16 libre = 0;
    {
        QTcpServer s;
        ASSERT_TRUE(s.listen(QHostAddress::LocalHost, 0));
        libre = s.serverPort();
    }
    GuardarConfig("Global", "Comunicacion_1", 1);
    GuardarConfig("Global", "Host_1", "127.0.0.1");
    GuardarConfig("Global", "Port_1", int(libre));
    QByteArray dato;
    QElapsedTimer t;
    {
        EnlaceDirecto enlace;
        enlace.fijarEsperas(100);
        t.start();
        EXPECT_FALSE(LeerRegistros(enlace, 0, 8, &dato));
        EXPECT_TRUE(dato.isEmpty());
        EXPECT_GE(t.elapsed(), 2000 + 3 * 100 - 10);
        EXPECT_LT(t.elapsed(), 4000);
    }
    SimuladorPrueba sim;
    sim.ConfigurarEnlaceTcp();
    sim.programarFallos({Fallo::Perder, Fallo::Ninguno});
    EnlaceDirecto enlace;
    t.start();
    EXPECT_TRUE(LeerRegistros(enlace, 0, 1, &dato));
    EXPECT_GE(t.elapsed(), 1990);
    EXPECT_LT(t.elapsed(), 3500);
}

// A port held by someone else: every request fails, none hangs; once it is free the link works.
TEST(EnlaceSinIndicador, PortHeldByAnotherProgram) {
    CarpetaTemporal carpeta;
    SimuladorPrueba sim(true);
    ASSERT_FALSE(sim.rutaPty().isEmpty());
    sim.ConfigurarEnlaceSerie();
    EnlaceDirecto enlace;
    enlace.fijarEsperas(50);
    QByteArray dato;
    {
        QSerialPort otro(sim.rutaPty());
        ASSERT_TRUE(otro.open(QIODevice::ReadWrite));
        EXPECT_FALSE(LeerRegistros(enlace, 0, 8, &dato));
        EXPECT_FALSE(LeerRegistros(enlace, 0, 8, &dato));
        EXPECT_EQ(sim.tramasRecibidas(), 0);
    }
    EXPECT_TRUE(LeerRegistros(enlace, 0, 8, &dato));
}

}  // namespace
