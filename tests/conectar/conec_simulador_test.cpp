// The connect test against the simulated indicator, over TCP and over a pty, through the direct
// link: the real frames, waits and setup storage.
#include <gtest/gtest.h>

#include <QProcess>

#include "app/Conectar.h"
#include "link/EnlaceDirecto.h"
#include "settings/Config.h"
#include "tests/support/CarpetaTemporal.h"
#include "tests/support/SimuladorPrueba.h"

namespace {

using simulador::Fallo;

std::string Nombre(const ::testing::TestParamInfo<bool>& i) {
    return i.param ? "Tcp" : "Pty";
}

class ConecSimulador : public ::testing::TestWithParam<bool> {
  protected:
    void SetUp() override {
        ASSERT_TRUE(GetParam() ? sim.puerto() != 0 : !sim.rutaPty().isEmpty());
        if (GetParam())
            sim.ConfigurarEnlaceTcp();
        else
            sim.ConfigurarEnlaceSerie();
        enlace.fijarEsperas(150, 1000);
    }
    // A link that is silent for the three tries of the weight read.
    void SilenciarPeso() { sim.programarFallos({Fallo::Perder, Fallo::Perder, Fallo::Perder}); }

    CarpetaTemporal carpeta;
    SimuladorPrueba sim{true};
    EnlaceDirecto enlace;
};

TEST_P(ConecSimulador, WeightBlockAnswerIsEnough) {
    EXPECT_EQ(conec(enlace), 1);
    EXPECT_EQ(sim.tramasRecibidas(3), 1);
    EXPECT_EQ(sim.tramasRecibidas(':'), 0);
    EXPECT_EQ(LeerConfig("Setup", "1", "ninguno"), "ninguno");
}

TEST_P(ConecSimulador, SetupFromMIsStoredKeyByKey) {
    QByteArray setup(90, '\0');
    for (int i = 0; i < 90; ++i) setup[i] = char((i * 37 + 11) % 256);
    setup[3] = 1;
    setup[4] = 2;
    setup[5] = 3;
    sim.fijarSetup(setup);
    SilenciarPeso();
    ASSERT_EQ(conec(enlace), 1);
    EXPECT_EQ(sim.tramasRecibidas(3), 3);
    EXPECT_EQ(sim.tramasRecibidas(':'), 1);

    auto b = [&setup](int n) { return qint64(quint8(setup[n - 1])); };
    EXPECT_EQ(LeerConfig("Setup", "4", ""), "197121");
    for (int k = 0; k < 2; ++k) {
        const int o = 13 * k;
        const qint64 esperado[7] = {b(o + 1),
                                    b(o + 2),
                                    b(o + 3),
                                    b(o + 4) + 256 * b(o + 5) + 65536 * b(o + 6),
                                    b(o + 7) + 256 * b(o + 8) + 65536 * b(o + 9),
                                    b(o + 10) + 256 * b(o + 11) + 65536 * b(o + 12),
                                    b(o + 13)};
        for (int j = 0; j < 7; ++j)
            EXPECT_EQ(LeerConfig("Setup", QString::number(7 * k + j + 1), ""),
                      QString::number(esperado[j]))
                << "key " << 7 * k + j + 1;
    }
    for (int n = 15; n <= 78; ++n)
        EXPECT_EQ(LeerConfig("Setup", QString::number(n), ""), QString::number(b(n + 12)))
            << "key " << n;
}

TEST_P(ConecSimulador, ShortLongOrMissingMAnswerLeavesSetupAlone) {
    GuardarConfig("Setup", "4", 7);
    const QByteArray antes = carpeta.leer("bascora.ini");
    for (Fallo f : {Fallo::Cortar, Fallo::Alargar, Fallo::Perder}) {
        sim.programarFallos({Fallo::Perder, Fallo::Perder, Fallo::Perder, f});
        EXPECT_EQ(conec(enlace), 0) << simulador::NombreDeFallo(f).toStdString();
        EXPECT_EQ(carpeta.leer("bascora.ini"), antes);
    }
}

INSTANTIATE_TEST_SUITE_P(Lineas, ConecSimulador, ::testing::Values(true, false), Nombre);

// bascora-cli conectar runs the same test in its own process.
TEST(ConectarCli, ExitStatusFollowsTheOutcome) {
    CarpetaTemporal carpeta;
    auto ejecutar = [&](QByteArray* salida) {
        QProcess p;
        QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
        entorno.insert("BASCORA_ESPERA_MS", "150");
        entorno.insert("BASCORA_ESPERA_CONEXION_MS", "500");
        p.setProcessEnvironment(entorno);
        p.start(QStringLiteral(BASCORA_DIR_BINARIOS "/bascora-cli"),
                {"--carpeta", carpeta.ruta(), "conectar"});
        if (!p.waitForFinished(30000)) return -1;
        *salida = p.readAllStandardOutput();
        return p.exitCode();
    };
    QByteArray salida;
    {
        SimuladorPrueba sim;
        sim.ConfigurarEnlaceTcp();
        EXPECT_EQ(ejecutar(&salida), 0);
        EXPECT_EQ(salida, "Conectando...\nEstado: Conectado\n");
    }
    // The simulator is gone: nobody listens on its port any more.
    EXPECT_EQ(ejecutar(&salida), 1);
    EXPECT_EQ(salida, "Conectando...\nEstado: Desconectado\n");
}

}  // namespace
