// The two download windows over a scripted indicator and a scripted operator.
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
    auto* bajar = Hijo<QLabel>(ventana, "LblBajar");
    auto* cnt = Hijo<QLabel>(ventana, "LblCnt");
    auto* error = Hijo<QLabel>(ventana, "LblError");

    leer->click();  // No: nothing is sent
    EXPECT_TRUE(indicador.peticiones.isEmpty());

    // Busy, and the operator waits.
    indicador.cargar(2);
    indicador.estado = 1;
    op.responder({true, true});
    leer->click();
    ASSERT_TRUE(Terminada(ventana));
    EXPECT_TRUE(ventana.esperando());
    EXPECT_FALSE(leer->isVisible());
    EXPECT_TRUE(bajar->isVisible());
    EXPECT_EQ(indicador.escrituras(), 0);

    Hijo<QTimer>(ventana, "TmrBajar")->setInterval(5);
    indicador.fallar("R 14396");
    ASSERT_TRUE(QTest::qWaitFor([&] { return error->isVisible(); })) << cnt->text().toStdString();
    EXPECT_TRUE(ventana.esperando());
    indicador.estado = 0;
    ASSERT_TRUE(QTest::qWaitFor([&] { return !ventana.esperando(); }));
    ASSERT_TRUE(Terminada(ventana));
    EXPECT_TRUE(leer->isVisible());
    EXPECT_TRUE(leer->isEnabled());
    EXPECT_FALSE(bajar->isVisible());
    EXPECT_GE(cnt->text().toInt(), 3);
    EXPECT_TRUE(indicador.pesadas.isEmpty());
    EXPECT_FALSE(indicador.bloqueado);

    // Closing while waiting stops polling.
    QSignalSpy cerrada(&ventana, &frmPesadas::cerrada);
    indicador.estado = 1;
    op.responder({true, true});
    leer->click();
    ASSERT_TRUE(Terminada(ventana));
    ASSERT_TRUE(ventana.esperando());
    ASSERT_TRUE(Terminada(ventana));
    EXPECT_TRUE(ventana.close());
    EXPECT_FALSE(ventana.esperando());
    EXPECT_EQ(cerrada.count(), 1);
    const qsizetype peticiones = indicador.peticiones.size();
    QTest::qWait(30);
    EXPECT_EQ(indicador.peticiones.size(), peticiones);

    // Unlock from the window: the commands are off while it runs, and the window stays open.
    op.responder({true});
    Hijo<QPushButton>(ventana, "CmdDesbloquear")->click();
    EXPECT_FALSE(leer->isEnabled());
    ASSERT_TRUE(Terminada(ventana));
    EXPECT_TRUE(leer->isEnabled());
    EXPECT_EQ(indicador.peticiones.last(), "T 13541 0000");
}

TEST(FrmAuto, ReportsConnectsDownloadsOnDoubleClickAndAsksBeforeClosing) {
    CarpetaTemporal carpeta;
    ConfigurarPlano("plano", "1", {{"Hora", "7"}, {"Minuto", "5"}});
    EnlaceFalso indicador;
    indicador.cargar(3);
    InteraccionGuion op;
    frmAuto ventana(nullptr, &indicador, &op);
    ventana.nucleo()->fijarConectar([](Enlace&) { return 1; });
    QSignalSpy cerrada(&ventana, &frmAuto::cerrada);

    auto* estado = Hijo<QLabel>(ventana, "LblEstado");
    auto* reporte = Hijo<QPlainTextEdit>(ventana, "Txt_Reporte");

    ventana.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return estado->text() == "Conectado"; }));
    ASSERT_TRUE(QTest::qWaitFor([&] { return reporte->toPlainText().contains(" - ON\n"); }));
    ventana.EnNucleo([&] { EXPECT_EQ(indicador.pesadas.size(), 3); });  // InicioBajar 0

    // The download runs on the window's worker thread; the clock goes on meanwhile.
    QTest::mouseDClick(estado, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] {
        return reporte->toPlainText().contains(
            "Recepción finalizada con éxito. Se han recibido 3 pesadas.");
    }));
    ventana.EnNucleo([&] { EXPECT_TRUE(indicador.pesadas.isEmpty()); });

    op.responder({false, true});
    EXPECT_FALSE(ventana.close());
    EXPECT_TRUE(ventana.isVisible());
    EXPECT_EQ(cerrada.count(), 0);
    EXPECT_TRUE(ventana.close());
    EXPECT_EQ(cerrada.count(), 1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return reporte->toPlainText().endsWith(" - OFF"); }));
    EXPECT_TRUE(carpeta.leer("auto.txt").endsWith(" - OFF\r\n"));
}

// Counts the paint events of a widget.
class ContadorPintura : public QObject {
  public:
    int pinturas = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) ++pinturas;
        return false;
    }
};

TEST(FrmAuto, ClockTicksAndTheWindowRepaintsDuringALongDownload) {
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
    auto* hora = Hijo<QLabel>(ventana, "LblHoraActual");
    auto* reporte = Hijo<QPlainTextEdit>(ventana, "Txt_Reporte");
    ContadorPintura pintura;
    hora->installEventFilter(&pintura);
    ventana.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return reporte->toPlainText().contains(" - ON"); }));

    QTest::mouseDClick(Hijo<QLabel>(ventana, "LblEstado"), Qt::LeftButton);
    QSet<QString> horas;
    pintura.pinturas = 0;
    const bool recibidas = QTest::qWaitFor(
        [&] {
            horas.insert(hora->text());
            return reporte->toPlainText().contains("Se han recibido 500 pesadas.");
        },
        60000);
    ASSERT_TRUE(recibidas) << reporte->toPlainText().toStdString();
    EXPECT_GE(horas.size(), 3);  // the clock went on second by second
    EXPECT_GE(pintura.pinturas, 3);
    // The report line comes after storing, before the delete.
    EXPECT_TRUE(QTest::qWaitFor([&] { return sim.indicador().cuenta() == 0; }, 10000));
    op.responder({true});
    EXPECT_TRUE(ventana.close());
}

}  // namespace
