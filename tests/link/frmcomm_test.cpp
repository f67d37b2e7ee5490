// The link window as a view on the client, under the offscreen platform: it shows itself for a
// request that is not silent, follows the caption and progress while the interface thread stays
// free, hides at the end; Cancel, Escape and closing it cancel the request inside its wait.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <optional>

#include "link/ClienteEnlace.h"
#include "link/ui/EnlacePrograma.h"
#include "link/ui/FrmComm.h"
#include "tests/support/CarpetaTemporal.h"
#include "tests/support/SimuladorPrueba.h"

namespace {

SolicitudEnlace Lectura(int direccion, int cantidad, bool silenciosa = false) {
    SolicitudEnlace s;
    s.direccion = direccion;
    s.cantidad = cantidad;
    s.silenciosa = silenciosa;
    return s;
}

class VistaEnlace : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(sim.puerto(), 0);
        sim.ConfigurarEnlaceTcp();
        duenio.show();
        duenio.activateWindow();
    }
    CarpetaTemporal carpeta;
    SimuladorPrueba sim;
    ClienteEnlace cliente;
    QWidget duenio;
    FrmComm vista{cliente, &duenio};
    QObject contexto;
};

TEST_F(VistaEnlace, FollowsARequestAndCancelStopsIt) {
    // Every answer 15 ms late: a 160-block read lasts seconds.
    simulador::AjustesFallos f;
    f.tardar = 1;
    f.retardoMs = 15;
    sim.fijarFallos(f);
    auto* barra = vista.findChild<QProgressBar*>("ProgBar");
    auto* cancelar = vista.findChild<QPushButton*>("cmdCancel");
    auto* rotulo = vista.findChild<QLabel*>("Label1");
    ASSERT_TRUE(barra && cancelar && rotulo);

    // A silent request does not show the window.
    std::optional<RespuestaEnlace> r;
    cliente.Enviar(Lectura(0, 8, true), &contexto, [&](const RespuestaEnlace& x) { r = x; });
    QTRY_VERIFY(r.has_value());
    EXPECT_FALSE(vista.isVisible());

    r.reset();
    cliente.Enviar(Lectura(7041, 1280), &contexto, [&](const RespuestaEnlace& x) { r = x; });
    QTRY_VERIFY(vista.isVisible());
    QTRY_VERIFY(barra->value() >= 10);
    EXPECT_LT(barra->value(), 100);
    cancelar->click();
    QTRY_VERIFY(r.has_value());
    EXPECT_TRUE(r->cancelado);
    EXPECT_LT(r->dato.size(), 2 * 1280);
    QTRY_VERIFY(!vista.isVisible());

    // The next request shows its own caption.
    sim.fijarFallos({});
    SolicitudEnlace s;
    s.tipo = TipoSolicitud::Escribir;
    s.direccion = 100;
    s.dato = "xy";
    s.leyenda = "Enviando Nombres...";
    r.reset();
    cliente.Enviar(s, &contexto, [&](const RespuestaEnlace& x) { r = x; });
    QTRY_VERIFY(r.has_value());
    EXPECT_TRUE(r->exito);
    EXPECT_EQ(rotulo->text(), "Enviando Nombres...");
    EXPECT_EQ(barra->value(), 100);
}

// Escape and the close button cancel a request that is waiting out a 2,000 ms answer wait.
TEST_F(VistaEnlace, EscapeAndCloseCancelInsideTheWait) {
    const std::function<void()> formas[] = {
        [this] { QTest::keyClick(&vista, Qt::Key_Escape); },
        [this] { vista.close(); },
    };
    for (const auto& forma : formas) {
        sim.programarFallos({simulador::Fallo::Perder});
        std::optional<RespuestaEnlace> r;
        QElapsedTimer t;
        t.start();
        cliente.Enviar(Lectura(0, 8), &contexto, [&](const RespuestaEnlace& x) { r = x; });
        QTRY_VERIFY(vista.isVisible());
        QTest::qWait(100);
        forma();
        QTRY_VERIFY(r.has_value());
        EXPECT_LT(t.elapsed(), 1500);
        EXPECT_TRUE(r->cancelado);
        QTRY_VERIFY(!vista.isVisible());
    }
}

}  // namespace
