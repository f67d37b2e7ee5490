// The scheduled download against a scripted indicator and a clock of our own: when it fires,
// what each failure arms, and where a retry resumes.
#include <gtest/gtest.h>

#include <QTimer>

#include "tests/descargas/EnlaceFalso.h"
#include "tests/support/CarpetaTemporal.h"
#include "weighings/BajadaAuto.h"
#include "weighings/LeerAuditoria.h"

namespace {

class BajadaAutoTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ConfigurarPlano("plano", "10", {{"Hora", "23"}, {"Minuto", "59"}});
        bajada.fijarReloj([this] { return ahora; });
        bajada.fijarConectar([this](Enlace&) {
            ++conexiones;
            return conectado ? 1 : 0;
        });
    }
    void A(int dia, QTime hora) { ahora = QDateTime(QDate(2026, 3, dia), hora); }
    static int Guardadas() { return int(LineasDe("plano.txt").size()); }

    CarpetaTemporal carpeta;
    EnlaceFalso indicador;
    BajadaAuto bajada{indicador};
    QDateTime ahora{QDate(2026, 3, 1), QTime(8, 0)};
    bool conectado = true;
    int conexiones = 0;
};

TEST_F(BajadaAutoTest, ScheduleFiresOncePerScheduledMinute) {
    bajada.Iniciar();  // InicioBajar 0: connects, no download
    indicador.cargar(2);
    A(1, QTime(23, 59, 0));
    bajada.Tick();
    A(1, QTime(23, 59, 30));
    bajada.Tick();
    EXPECT_EQ(conexiones, 2);
    EXPECT_EQ(LoteGuardado(), 11);

    A(2, QTime(0, 0));
    bajada.Tick();
    indicador.cargar(1);
    A(2, QTime(23, 59, 10));
    bajada.Tick();
    bajada.Tick();
    EXPECT_EQ(conexiones, 3);
    EXPECT_EQ(LoteGuardado(), 12);
    EXPECT_EQ(Guardadas(), 3);
}

TEST_F(BajadaAutoTest, UnreachableIndicatorIsRetriedEveryMinute) {
    conectado = false;
    GuardarConfig("Global", "InicioBajar", "1");
    indicador.cargar(3);
    bajada.Iniciar();
    EXPECT_TRUE(bajada.TimerReconect->isActive());
    EXPECT_EQ(indicador.pesadas.size(), 3);
    conectado = true;
    bajada.Reconectar();
    EXPECT_FALSE(bajada.TimerReconect->isActive());
    EXPECT_TRUE(indicador.pesadas.isEmpty());
    EXPECT_FALSE(indicador.bloqueado);
    EXPECT_EQ(Guardadas(), 3);
}

// A failure before storing arms the retry from the lock; a failure to store leaves nothing to
// resume on the indicator, so it is released and no retry is armed.
TEST_F(BajadaAutoTest, WhatEachFailureArms) {
    bajada.Iniciar();
    indicador.cargar(2);
    indicador.bytesParciales = 0;
    // The records read gives up after two empty answers in a row.
    for (auto [peticion, veces] : {std::pair{"T 13541", 1}, {"R 7041", 2}}) {
        indicador.fallar(peticion, veces);
        bajada.BajarAhora();
        EXPECT_EQ(bajada.BajadaPendiente, 1) << peticion;
        EXPECT_EQ(bajada.EtapaBajada, 0) << peticion;
        EXPECT_TRUE(bajada.TimerReconect->isActive()) << peticion;
    }
    bajada.TimerReconect->stop();
    GuardarConfig("Opciones", "Ruta", "falta/");
    bajada.BajarAhora();
    EXPECT_EQ(bajada.BajadaPendiente, 0);
    EXPECT_FALSE(bajada.TimerReconect->isActive());
    EXPECT_FALSE(indicador.bloqueado);
    EXPECT_EQ(indicador.pesadas.size(), 2);

    GuardarConfig("Opciones", "Ruta", "");
    bajada.BajarAhora();
    EXPECT_TRUE(indicador.pesadas.isEmpty());
    EXPECT_EQ(Guardadas(), 2);
}

TEST_F(BajadaAutoTest, ScheduleFiringDuringADownloadDoesNotStartASecondOne) {
    bajada.Iniciar();
    indicador.cargar(4);
    // The link yields to the event loop during a request: the clock ticks inside the download.
    A(1, QTime(23, 59));
    indicador.antes = [this](const PeticionEnlace& p) {
        if (p.Direccion == "7041") bajada.Tick();
    };
    bajada.BajarAhora();
    EXPECT_EQ(conexiones, 2);  // the opening and the scheduled minute, no nested one
    EXPECT_EQ(indicador.peticiones.filter("R 7040").size(), 1);
    EXPECT_EQ(Guardadas(), 4);
    EXPECT_EQ(LoteGuardado(), 11);
}

}  // namespace
