// The link window under the offscreen platform: captions, progress while frames run on the
// worker thread, Cancel during a long read, and the request fields.
#include <gtest/gtest.h>

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include "link/ui/FrmComm.h"
#include "tests/support/CarpetaTemporal.h"
#include "tests/support/SimuladorPrueba.h"

namespace {

TEST(FrmComm, ProgressCancelAndTheNextRequests) {
    CarpetaTemporal carpeta;
    SimuladorPrueba sim;
    sim.ConfigurarEnlaceTcp();
    // Every answer 15 ms late: a 160-block read lasts seconds.
    simulador::AjustesFallos f;
    f.tardar = 1;
    f.retardoMs = 15;
    sim.fijarFallos(f);

    QWidget duenio;
    FrmComm frm(&duenio);
    frm.fijarEsperas(500, 500);
    auto* barra = frm.findChild<QProgressBar*>("ProgBar");
    auto* cancelar = frm.findChild<QPushButton*>("cmdCancel");
    auto* rotulo = frm.findChild<QLabel*>("Label1");
    ASSERT_TRUE(barra && cancelar && rotulo);

    // Watch the window from the interface thread while the request runs.
    QList<int> vistos;
    bool modal = false;
    QString titulo, textoRotulo;
    QTimer reloj;
    reloj.setInterval(20);
    QObject::connect(&reloj, &QTimer::timeout, [&] {
        vistos.append(barra->value());
        modal = modal || (frm.isModal() && frm.isVisible());
        titulo = frm.windowTitle();
        textoRotulo = rotulo->text();
        if (barra->value() >= 10) cancelar->click();
    });
    reloj.start();

    frm.Modo = "R";
    frm.Direccion = "7041";
    frm.Longitud = "1280";
    frm.Exito = true;
    frm.Mostrar();
    reloj.stop();

    EXPECT_TRUE(modal);
    EXPECT_EQ(titulo, "Comunicando");
    EXPECT_EQ(cancelar->text(), "Cancelar");
    EXPECT_EQ(textoRotulo, "Recibiendo datos...");
    EXPECT_FALSE(frm.Exito);
    EXPECT_TRUE(frm.Cancelado);
    EXPECT_GE(frm.Dato.size(), 16 * 16);
    EXPECT_LT(frm.Dato.size(), 2 * 1280);
    EXPECT_EQ(frm.Dato.size() % 16, 0);
    // The bar moved while the frames ran: the interface thread was free.
    EXPECT_GT(std::count_if(vistos.begin(), vistos.end(), [](int v) { return v > 0 && v < 100; }),
              3);
    EXPECT_FALSE(frm.isVisible());

    // The next request starts afresh: not cancelled, own caption, fields survive.
    sim.fijarFallos({});
    frm.Modo = "T";
    frm.Direccion = "100";
    frm.Dato = "xy";
    frm.Leyenda = "Enviando Nombres...";
    frm.Mostrar();
    EXPECT_TRUE(frm.Exito);
    EXPECT_FALSE(frm.Cancelado);
    EXPECT_EQ(frm.Dato, QByteArray("xy"));
    EXPECT_EQ(rotulo->text(), "Enviando Nombres...");
    EXPECT_EQ(barra->value(), 100);
    EXPECT_EQ(sim.indicador().registro(100), 0x7978);

    // Used as an Enlace: a read fills Dato; mode "C" answers the setup and leaves Exito alone.
    Enlace& enlace = frm;
    QByteArray dato;
    EXPECT_TRUE(LeerRegistros(enlace, 100, 1, &dato));
    EXPECT_EQ(dato, QByteArray("xy"));
    sim.fijarSetup(QByteArray(90, 'S'));
    PeticionEnlace p;
    p.Modo = "C";
    p.Dato = "M";
    p.Exito = false;
    enlace.Solicitar(p);
    EXPECT_EQ(p.Dato, QByteArray(90, 'S'));
    EXPECT_FALSE(p.Exito);
    EXPECT_FALSE(frm.isVisible());
}

}  // namespace
