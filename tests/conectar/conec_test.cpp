// The connect test: against a scripted link for the answer lengths the simulator does not fake,
// and against the simulated indicator through the direct link (TCP; the link tests cover the pty).
#include <gtest/gtest.h>

#include <QList>

#include "link/Conectar.h"
#include "link/EnlaceDirecto.h"
#include "settings/Config.h"
#include "tests/support/CarpetaTemporal.h"
#include "tests/support/InteraccionGuion.h"
#include "tests/support/ProcesoCli.h"
#include "tests/support/SimuladorPrueba.h"

namespace {

using simulador::Fallo;

class EnlaceGuion : public Enlace {
  public:
    void Solicitar(PeticionEnlace& p) override {
        peticiones.append(p);
        p.Dato = respuestas.isEmpty() ? QByteArray() : respuestas.takeFirst();
        if (p.Modo != QLatin1String("C")) p.Exito = p.Dato.size() == 16;
    }
    QList<QByteArray> respuestas;
    QList<PeticionEnlace> peticiones;
};

// Byte n (1-based) is n * 7 mod 256, except bytes 4..6 = 1, 2, 3.
QByteArray BloqueSetup(int largo = 90) {
    QByteArray b(largo, '\0');
    for (int n = 1; n <= largo; ++n) b[n - 1] = char((n * 7) % 256);
    if (largo >= 6) b.replace(3, 3, QByteArray("\x01\x02\x03", 3));
    return b;
}

// The keys stored from BloqueSetup(): three bytes low first, or one byte.
void ComprobarSetup() {
    const QList<QPair<const char*, int>> claves = {{"4", 1 + 2 * 256 + 3 * 65536},
                                                   {"5", 49 + 56 * 256 + 63 * 65536},
                                                   {"13", 161 + 168 * 256 + 175 * 65536},
                                                   {"14", 26 * 7},
                                                   {"78", 90 * 7 % 256}};
    for (const auto& [clave, valor] : claves)
        EXPECT_EQ(LeerConfig("Setup", clave, ""), QString::number(valor)) << clave;
}

TEST(Conec, OnlyExactLengthsCountAndCaptionsAreLeftAlone) {
    CarpetaTemporal carpeta;
    carpeta.escribir("bascora.ini", "[Setup]\r\n15>=Filtro.\r\n4=viejo.\r\n");
    EnlaceGuion enlace;
    // A weight answer one byte long is no answer: ":M" is tried and its block stored.
    enlace.respuestas = {QByteArray(17, 'x'), BloqueSetup()};
    EXPECT_EQ(conec(enlace), 1);
    ASSERT_EQ(enlace.peticiones.size(), 2);
    EXPECT_EQ(enlace.peticiones[1].Modo, "C");
    EXPECT_EQ(enlace.peticiones[1].Dato, "M");
    ComprobarSetup();
    EXPECT_EQ(LeerConfig("Setup", "15>", ""), "Filtro");
}

TEST(ComandoConectar, FailureIsToldToTheOperator) {
    CarpetaTemporal carpeta;
    EnlaceGuion enlace;
    InteraccionGuion operador;
    enlace.respuestas = {QByteArray(16, '\0')};
    EXPECT_TRUE(ComandoConectar(enlace, operador, {}));
    EXPECT_TRUE(operador.mensajes.isEmpty());
    EXPECT_FALSE(ComandoConectar(enlace, operador, {}));  // silence on both requests
    ASSERT_EQ(operador.mensajes.size(), 1);
    EXPECT_EQ(operador.mensajes[0].icono, Icono::Error);
}

TEST(ConecSimulador, WeightAnswerIsEnoughOtherwiseTheSetupIsStoredAndTheCli) {
    CarpetaTemporal carpeta;
    auto sim = std::make_unique<SimuladorPrueba>();
    sim->ConfigurarEnlaceTcp();
    EnlaceDirecto enlace;
    enlace.fijarEsperas(150, 1000);
    EXPECT_EQ(conec(enlace), 1);
    EXPECT_EQ(sim->tramasRecibidas(3), 1);
    EXPECT_EQ(sim->tramasRecibidas(':'), 0);
    EXPECT_EQ(LeerConfig("Setup", "1", "ninguno"), "ninguno");

    // Silent for the three tries of the weight read: ":M" and its 90 bytes, key by key.
    sim->fijarSetup(BloqueSetup());
    sim->programarFallos({Fallo::Perder, Fallo::Perder, Fallo::Perder});
    ASSERT_EQ(conec(enlace), 1);
    EXPECT_EQ(sim->tramasRecibidas(3), 4);
    EXPECT_EQ(sim->tramasRecibidas(':'), 1);
    ComprobarSetup();

    // A short, long or missing answer to ":M" leaves the setup alone.
    const QByteArray antes = carpeta.leer("bascora.ini");
    for (Fallo f : {Fallo::Cortar, Fallo::Alargar, Fallo::Perder}) {
        sim->programarFallos({Fallo::Perder, Fallo::Perder, Fallo::Perder, f});
        EXPECT_EQ(conec(enlace), 0) << simulador::NombreDeFallo(f).toStdString();
        EXPECT_EQ(carpeta.leer("bascora.ini"), antes);
    }

    // bascora-cli conectar runs the same test in its own process; then the simulator is gone.
    const QStringList conectar{"--carpeta", carpeta.ruta(), "conectar"};
    QByteArray salida, errores;
    EXPECT_EQ(EjecutarCli(conectar, &salida, &errores), 0);
    EXPECT_EQ(salida, "Conectando...\nEstado: Conectado\n");
    sim.reset();
    EXPECT_EQ(EjecutarCli(conectar, &salida, &errores), 1);
    EXPECT_EQ(salida, "Conectando...\nEstado: Desconectado\n");
}

}  // namespace
