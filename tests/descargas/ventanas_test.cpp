// The two download windows over a scripted or simulated indicator and a scripted operator.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSet>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "link/EnlaceDirecto.h"
#include "tests/descargas/EnlaceFalso.h"
#include "tests/support/CarpetaTemporal.h"
#include "tests/support/InteraccionGuion.h"
#include "tests/support/SimuladorPrueba.h"
#include "weighings/BajadaAuto.h"
#include "weighings/ui/FrmAuto.h"
#include "weighings/ui/FrmPesadas.h"

namespace {

template <typename T>
T* Hijo(QWidget& w, const char* nombre) {
    T* hijo = w.findChild<T*>(QString::fromLatin1(nombre));
    EXPECT_NE(hijo, nullptr) << nombre;
    return hijo;
}

// Every request of the download window runs as a job; the test waits for it to end.
bool Terminada(const frmPesadas& ventana) {
    return QTest::qWaitFor([&] { return !ventana.ocupada(); });
}

TEST(FrmPesadas, WaitsForABusyIndicatorThenDownloads) {
    CarpetaTemporal carpeta;
    ConfigurarPlano("plano", "1");
    EnlaceFalso indicador;
    InteraccionGuion op;
    frmPesadas ventana(nullptr, &indicador, &op);
    ventana.show();
    auto* leer = Hijo<QPushButton>(ventana, "CmdLeer");

    // Busy, and the operator waits.
    indicador.cargar(2);
    indicador.estado = 1;
    op.responder({true, true});
    leer->click();
    ASSERT_TRUE(Terminada(ventana));
    EXPECT_TRUE(ventana.esperando());
    EXPECT_TRUE(indicador.peticiones.filter("T ").isEmpty());
    Hijo<QTimer>(ventana, "TmrBajar")->setInterval(5);
    indicador.estado = 0;
    ASSERT_TRUE(QTest::qWaitFor([&] { return !ventana.esperando(); }));
    ASSERT_TRUE(Terminada(ventana));
    EXPECT_TRUE(indicador.pesadas.isEmpty());
    EXPECT_FALSE(indicador.bloqueado);
}

// A long download runs on the window's worker thread: the clock goes on second by second.
TEST(FrmAuto, DownloadsOnDoubleClickWhileTheClockTicksAndAsksBeforeClosing) {
    CarpetaTemporal carpeta;
    SimuladorPrueba sim;
    sim.ConfigurarEnlaceTcp();
    ConfigurarPlano("plano", "1");
    for (int i = 1; i <= 500; ++i) sim.agregarPesada(RegistroDePrueba(i));
    simulador::AjustesFallos lento;
    lento.tardar = 1.0;
    lento.retardoMs = 4;  // a few seconds for the 813 frames
    sim.fijarFallos(lento);
    EnlaceDirecto enlace;
    enlace.fijarEsperas(500, 1000);
    InteraccionGuion op;
    frmAuto ventana(nullptr, &enlace, &op);
    ventana.nucleo()->fijarConectar([](Enlace&) { return 1; });
    QSignalSpy cerrada(&ventana, &frmAuto::cerrada);
    auto* hora = Hijo<QLabel>(ventana, "LblHoraActual");
    auto* reporte = Hijo<QPlainTextEdit>(ventana, "Txt_Reporte");
    ventana.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return reporte->toPlainText().contains(" - ON"); }));

    QTest::mouseDClick(Hijo<QLabel>(ventana, "LblEstado"), Qt::LeftButton);
    QSet<QString> horas;
    const bool recibidas = QTest::qWaitFor(
        [&] {
            horas.insert(hora->text());
            return reporte->toPlainText().contains("Se han recibido 500 pesadas.");
        },
        60000);
    ASSERT_TRUE(recibidas) << reporte->toPlainText().toStdString();
    EXPECT_GE(horas.size(), 3);
    EXPECT_TRUE(QTest::qWaitFor([&] { return sim.indicador().cuenta() == 0; }, 10000));

    op.responder({false, true});  // closing asks first
    EXPECT_FALSE(ventana.close());
    EXPECT_TRUE(ventana.close());
    EXPECT_EQ(cerrada.count(), 1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return reporte->toPlainText().endsWith(" - OFF"); }));
    EXPECT_TRUE(carpeta.leer("auto.txt").endsWith(" - OFF\r\n"));
}

}  // namespace
