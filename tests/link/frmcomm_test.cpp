// The link window as a view on the client: it counts the retries of the request on screen, shows
// itself for a request that is not silent, follows its progress while the interface thread stays
// free and hides at the end; Cancel, Escape and closing it cancel the request.
#include <gtest/gtest.h>

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <optional>
#include <thread>

#include "link/ClienteEnlace.h"
#include "link/ui/FrmComm.h"
#include "tests/link/LineaSimulada.h"

namespace {

TEST(FrmComm, CountsRetriesFollowsARequestAndCancelStopsIt) {
    CarpetaTemporal carpeta;
    SimuladorPrueba sim;
    sim.ConfigurarEnlaceTcp();
    ClienteEnlace cliente;
    cliente.fijarEsperas(150, 1000);
    FrmComm vista{cliente};
    QObject contexto;
    auto* barra = vista.findChild<QProgressBar*>("ProgBar");
    auto* reintentos = vista.findChild<QLabel*>("LblReintentos");
    ASSERT_TRUE(barra && reintentos);

    // Block 1: no answer, then a bad CRC, then the answer; block 2 at once. The summary that goes
    // to Datos.log and to bascora-cli -v gives the counts.
    sim.programarFallos({simulador::Fallo::Perder, simulador::Fallo::CrcMalo});
    std::optional<RespuestaEnlace> r;
    std::thread trabajo([&] { r = cliente.Ejecutar(Solicitud(0, 16)); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return r.has_value(); }, 10000));
    trabajo.join();
    EXPECT_TRUE(r->exito);
    EXPECT_EQ(reintentos->text(), "Reintentos: 2");
    EXPECT_TRUE(ResumenSalud(cliente.Salud())
                    .startsWith(QString::fromUtf8("Enlace: tramas 4, buenas 2, sin respuesta 1, "
                                                  "CRC 1, malformadas 0, reintentos 2; ")))
        << ResumenSalud(cliente.Salud()).toStdString();

    // A silent request does not show the window.
    r.reset();
    SolicitudEnlace silenciosa = Solicitud(0, 8);
    silenciosa.silenciosa = true;
    cliente.Enviar(silenciosa, &contexto, [&](const RespuestaEnlace& x) { r = x; });
    QTRY_VERIFY(r.has_value());
    EXPECT_FALSE(vista.isVisible());

    // Every answer 15 ms late: a 160-block read lasts seconds. Each way of cancelling ends it.
    simulador::AjustesFallos f;
    f.tardar = 1;
    f.retardoMs = 15;
    sim.fijarFallos(f);
    const std::function<void()> formas[] = {
        [&] { vista.findChild<QPushButton*>("cmdCancel")->click(); },
        [&] { QTest::keyClick(&vista, Qt::Key_Escape); },
        [&] { vista.close(); },
    };
    for (const auto& cancelar : formas) {
        r.reset();
        cliente.Enviar(Solicitud(7041, 1280), &contexto, [&](const RespuestaEnlace& x) { r = x; });
        QTRY_VERIFY(vista.isVisible());
        QTRY_VERIFY(barra->value() >= 10);
        EXPECT_LT(barra->value(), 100);
        cancelar();
        QTRY_VERIFY(r.has_value());
        EXPECT_TRUE(r->cancelado);
        EXPECT_LT(r->dato.size(), 2 * 1280);
        QTRY_VERIFY(!vista.isVisible());
    }

    // The next request shows its own caption.
    sim.fijarFallos({});
    r.reset();
    SolicitudEnlace escritura = Solicitud(100, 0, "xy");
    escritura.leyenda = "Enviando Nombres...";
    cliente.Enviar(escritura, &contexto, [&](const RespuestaEnlace& x) { r = x; });
    QTRY_VERIFY(r.has_value());
    EXPECT_TRUE(r->exito);
    EXPECT_EQ(vista.findChild<QLabel*>("Label1")->text(), "Enviando Nombres...");
}

}  // namespace
