// The scheduled download against a scripted indicator and a clock of our own: when it fires,
// what each failure arms, and where a retry resumes.
#include <gtest/gtest.h>

#include <QSignalSpy>
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
        QObject::connect(&bajada, &BajadaAuto::reporte,
                         [this](const QString& l) { reporte.append(l.mid(8)); });
    }

    static long long Lote() { return LoteGuardado(); }
    static int Guardadas() { return int(LineasDe("plano.txt").size()); }

    CarpetaTemporal carpeta;
    EnlaceFalso indicador;
    BajadaAuto bajada{indicador};
    QDateTime ahora{QDate(2026, 3, 1), QTime(8, 0)};
    bool conectado = true;
    int conexiones = 0;
    QStringList reporte;  // texts without the time
};

TEST_F(BajadaAutoTest, ScheduleFiresOncePerScheduledMinute) {
    bajada.Iniciar();
    EXPECT_EQ(bajada.textoHora(), "23:59:00");
    EXPECT_EQ(conexiones, 1);
    EXPECT_EQ(reporte, QStringList({"ON", "Conectado"}));  // InicioBajar 0: no download
    EXPECT_TRUE(bajada.Timer1->isActive());

    indicador.cargar(2);
    ahora = QDateTime(QDate(2026, 3, 1), QTime(23, 59, 0));
    bajada.Tick();
    ahora = ahora.addSecs(30);
    bajada.Tick();
    EXPECT_EQ(conexiones, 2);
    EXPECT_TRUE(indicador.pesadas.isEmpty());
    EXPECT_EQ(Lote(), 11);

    ahora = QDateTime(QDate(2026, 3, 2), QTime(0, 0, 0));
    bajada.Tick();
    indicador.cargar(1);
    ahora = QDateTime(QDate(2026, 3, 2), QTime(23, 59, 10));
    bajada.Tick();
    bajada.Tick();
    EXPECT_EQ(conexiones, 3);
    EXPECT_EQ(Lote(), 12);
    EXPECT_TRUE(reporte.contains("Recepción finalizada con éxito. Se han recibido 1 pesadas."));

    bajada.Terminar();
    EXPECT_FALSE(bajada.Timer1->isActive());
    EXPECT_EQ(reporte.last(), "OFF");
    // auto.txt: one line per event with date and time.
    const QStringList lineas = QString::fromUtf8(carpeta.leer("auto.txt")).split("\r\n");
    EXPECT_EQ(lineas[0], "01/03/26 08:00 - ON");
    EXPECT_TRUE(lineas.contains("02/03/26 23:59 - Conectado"));
    EXPECT_EQ(lineas.last(), "");
}

TEST_F(BajadaAutoTest, UnreachableIndicatorIsRetriedEveryMinute) {
    conectado = false;
    GuardarConfig("Global", "InicioBajar", "1");
    indicador.cargar(3);
    QSignalSpy estados(&bajada, &BajadaAuto::estadoConexion);
    bajada.Iniciar();
    EXPECT_EQ(estados.last().at(0).toString(), "Desconectado");
    EXPECT_EQ(reporte.last(), "Error al conectar");
    EXPECT_TRUE(bajada.TimerReconect->isActive());
    EXPECT_EQ(bajada.TimerReconect->interval(), 60000);
    EXPECT_EQ(bajada.BajadaPendiente, 1);

    bajada.Reconectar();  // a minute later, still away
    EXPECT_TRUE(bajada.TimerReconect->isActive());
    EXPECT_EQ(indicador.pesadas.size(), 3);

    conectado = true;
    bajada.Reconectar();
    EXPECT_EQ(estados.last().at(0).toString(), "Conectado");
    EXPECT_FALSE(bajada.TimerReconect->isActive());
    EXPECT_TRUE(indicador.pesadas.isEmpty());
    EXPECT_FALSE(indicador.bloqueado);
    EXPECT_EQ(bajada.BajadaPendiente, 0);
    EXPECT_EQ(Guardadas(), 3);
}

TEST_F(BajadaAutoTest, FailedUnlockRetriesOnlyTheUnlockAndLogsTheRecordsRetries) {
    bajada.Iniciar();
    indicador.cargar(2);
    indicador.reintentosLectura = 1;
    indicador.fallarDesbloqueo();
    bajada.BajarAhora();
    EXPECT_EQ(reporte.last(), "Error al desbloquear el indicador.");
    EXPECT_EQ(bajada.EtapaBajada, 1);
    EXPECT_FALSE(QFile::exists(carpeta.ruta("Datos.log")));

    indicador.antes = nullptr;
    indicador.peticiones.clear();
    bajada.Reconectar();
    EXPECT_EQ(indicador.peticiones, QStringList({"T 13541 0000"}));
    EXPECT_TRUE(QString::fromLatin1(carpeta.leer("Datos.log"))
                    .contains("2 pesadas (26) bajadas despues de 1 reintentos"));
}

TEST_F(BajadaAutoTest, StorageFailureReleasesTheIndicatorAndKeepsTheRecords) {
    bajada.Iniciar();
    bajada.BajarAhora();  // nothing stored: unlocked without a batch
    EXPECT_EQ(reporte.last(), "Comunicación finalizada con éxito. No hay pesadas almacenadas");
    EXPECT_FALSE(indicador.bloqueado);
    EXPECT_EQ(Lote(), 10);

    indicador.cargar(3);
    GuardarConfig("Opciones", "Ruta", "falta/");
    bajada.BajarAhora();
    EXPECT_EQ(reporte.last(), "No se encuentra datos.mdb.");
    EXPECT_EQ(indicador.pesadas.size(), 3);
    EXPECT_FALSE(indicador.bloqueado);
    EXPECT_EQ(bajada.BajadaPendiente, 0);
    EXPECT_FALSE(bajada.TimerReconect->isActive());
    EXPECT_EQ(Lote(), 11);

    GuardarConfig("Opciones", "Ruta", "");
    bajada.BajarAhora();
    EXPECT_TRUE(indicador.pesadas.isEmpty());
    EXPECT_EQ(Guardadas(), 3);
    EXPECT_TRUE(carpeta.leer("plano.txt").startsWith("12;1;"));
}

TEST_F(BajadaAutoTest, FailuresBeforeStoringArmTheRetryFromTheLock) {
    bajada.Iniciar();
    indicador.cargar(2);
    indicador.bytesParciales = 0;
    // The records read goes on from where it stopped unless two requests in a row bring nothing.
    // A failed counter read is retried too instead of waiting for an operator.
    for (auto [peticion, veces] :
         {std::pair{"T 13541", 1}, {"R 7040", 1}, {"R 7041", 2}, {"R 15705", 1}}) {
        indicador.fallar(peticion, veces);
        bajada.BajarAhora();
        EXPECT_EQ(bajada.BajadaPendiente, 1) << peticion;
        EXPECT_EQ(bajada.EtapaBajada, 0) << peticion;
        EXPECT_TRUE(bajada.TimerReconect->isActive()) << peticion;
        EXPECT_EQ(indicador.pesadas.size(), 2);
        EXPECT_EQ(Lote(), 10);
    }
    EXPECT_EQ(reporte.last(), "Error al comunicar con el Indicador");
    EXPECT_TRUE(reporte.contains("Error al iniciar comunicación"));
    EXPECT_TRUE(QString::fromLatin1(carpeta.leer("Datos.log"))
                    .contains("No se pudo bajar las 2 pesadas (26)"));

    bajada.Reconectar();
    EXPECT_TRUE(indicador.pesadas.isEmpty());
    EXPECT_FALSE(indicador.bloqueado);
    EXPECT_EQ(Guardadas(), 2);
}

TEST_F(BajadaAutoTest, ScheduleFiringDuringADownloadDoesNotStartASecondOne) {
    bajada.Iniciar();
    indicador.cargar(4);
    // The link yields to the event loop during a request: the clock ticks inside the download.
    ahora = QDateTime(QDate(2026, 3, 1), QTime(23, 59));
    indicador.antes = [this](const PeticionEnlace& p) {
        if (p.Direccion == "7041") bajada.Tick();
    };
    bajada.BajarAhora();
    EXPECT_TRUE(bajada.Disparado);
    EXPECT_EQ(conexiones, 2);  // the opening and the double click, no nested one
    EXPECT_EQ(indicador.peticiones.filter("R 7040").size(), 1);
    EXPECT_TRUE(indicador.pesadas.isEmpty());
    EXPECT_EQ(Guardadas(), 4);
    EXPECT_EQ(Lote(), 11);
}

}  // namespace
