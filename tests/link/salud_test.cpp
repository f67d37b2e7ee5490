// Link health as the operator sees it: the link window counts the retries of the request on
// screen, and the summary that goes to Datos.log and to bascora-cli -v gives the counts.
#include <gtest/gtest.h>

#include <QLabel>
#include <QTest>
#include <optional>
#include <thread>

#include "link/ClienteEnlace.h"
#include "link/ui/FrmComm.h"
#include "tests/support/CarpetaTemporal.h"
#include "tests/support/SimuladorPrueba.h"

namespace {

TEST(SaludEnlace, LinkWindowCountsRetriesAndTheSummaryGivesEveryCount) {
    CarpetaTemporal carpeta;
    SimuladorPrueba sim;
    sim.ConfigurarEnlaceTcp();
    ClienteEnlace cliente;
    cliente.fijarEsperas(150, 1000);
    FrmComm vista(cliente);
    auto* reintentos = vista.findChild<QLabel*>(QStringLiteral("LblReintentos"));
    ASSERT_NE(reintentos, nullptr);

    // Block 1: no answer, then a bad CRC, then the answer; block 2 at once.
    sim.programarFallos({simulador::Fallo::Perder, simulador::Fallo::CrcMalo});
    SolicitudEnlace lectura;
    lectura.tipo = TipoSolicitud::Leer;
    lectura.cantidad = 16;
    std::optional<RespuestaEnlace> r;
    std::thread trabajo([&] { r = cliente.Ejecutar(lectura); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return r.has_value(); }, 10000));
    trabajo.join();
    EXPECT_TRUE(r->exito);
    EXPECT_EQ(r->reintentos, 2);
    EXPECT_EQ(reintentos->text(), "Reintentos: 2");

    const SaludEnlace s = cliente.Salud();
    EXPECT_EQ(s.tramasEnviadas, 4u);
    EXPECT_EQ(s.respuestasBuenas, 2u);
    EXPECT_EQ(s.tiemposAgotados, 1u);
    EXPECT_EQ(s.erroresCrc, 1u);
    EXPECT_TRUE(ResumenSalud(s).startsWith(QString::fromUtf8(
        "Enlace: tramas 4, buenas 2, sin respuesta 1, CRC 1, malformadas 0, reintentos 2; "
        "último fallo: ")))
        << ResumenSalud(s).toStdString();
    EXPECT_TRUE(ResumenSalud(SaludEnlace()).isEmpty());
}

}  // namespace
