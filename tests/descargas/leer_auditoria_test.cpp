// The manual download against a scripted indicator: the order of requests and messages on every
// path, what is kept in the indicator and what is written on the PC.
#include <gtest/gtest.h>

#include "tests/descargas/EnlaceFalso.h"
#include "tests/support/CarpetaTemporal.h"
#include "tests/support/InteraccionGuion.h"
#include "weighings/LeerAuditoria.h"

namespace {

class LeerAuditoriaTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ConfigurarPlano("pesadas", "5");
        campos.Texto[2] = true;  // code 3 holds characters
    }

    ResultadoDescarga Bajar() { return LeerAuditoria(indicador, op, campos); }
    static QStringList LineasPlano() { return LineasDe("pesadas.txt"); }
    static long long Lote() { return LoteGuardado(); }

    CarpetaTemporal carpeta;
    EnlaceFalso indicador;
    InteraccionGuion op;
    OpcionesCampos campos;
};

TEST_F(LeerAuditoriaTest, DownloadsStoresDeletesAndUnlocksInOrder) {
    indicador.cargar(3);
    GuardarConfig("Global", "BajarTotCod", "1");  // no totals without the workbook
    const ResultadoDescarga r = Bajar();

    EXPECT_EQ(r.fin, FinDescarga::Completa);
    EXPECT_EQ(Lote(), 6);
    EXPECT_EQ(indicador.peticiones,
              QStringList({"R 14396 1", "T 13541 ff00", "R 7040 1", "R 15705 2", "R 7041 39",
                           "T 6 4700", "T 13541 0000"}));

    const QStringList lineas = LineasPlano();
    ASSERT_EQ(lineas.size(), 3);
    // Lote, Numero, Peso, codes, date, time, Secuencia (counter 1000 - 3 + Numero - 1).
    EXPECT_TRUE(lineas[0].startsWith("6;1;10;1;1001;ABC;0;0;")) << lineas[0].toStdString();
    EXPECT_TRUE(lineas[0].endsWith(";09:30:00;997")) << lineas[0].toStdString();
    EXPECT_FALSE(QFile::exists(carpeta.ruta("Datos.log")));  // no retries, nothing to log

    // The retries of the records read are logged.
    indicador.cargar(3);
    indicador.reintentosLectura = 2;
    EXPECT_EQ(Bajar().fin, FinDescarga::Completa);
    const QString log = QString::fromLatin1(carpeta.leer("Datos.log"));
    EXPECT_TRUE(log.contains("\r\n3 pesadas (39) bajadas despues de 2 reintentos\r\n"))
        << log.toStdString();
}

TEST_F(LeerAuditoriaTest, FailureBeforeStoringSendsNothingMoreAndWritesNothing) {
    indicador.cargar(2);
    const QString comunicar = QStringLiteral("Error al comunicar con el Indicador");
    for (auto [peticion, fin, texto, bloqueado] :
         {std::tuple{"R 14396", FinDescarga::FalloEstado,
                     QStringLiteral("Error al leer el estado del equipo"), false},
          {"T 13541", FinDescarga::FalloBloqueo, QStringLiteral("Error al iniciar comunicación"),
           false},
          {"R 7040", FinDescarga::FalloLectura, comunicar, true},
          {"R 15705", FinDescarga::FalloLectura, comunicar, true}}) {
        indicador.bloqueado = false;
        indicador.peticiones.clear();
        op.mensajes.clear();
        indicador.fallar(QString::fromLatin1(peticion));
        EXPECT_EQ(Bajar().fin, fin) << peticion;
        EXPECT_TRUE(indicador.peticiones.last().startsWith(peticion)) << peticion;
        EXPECT_EQ(op.textos(), QStringList({texto})) << peticion;
        EXPECT_EQ(indicador.bloqueado, bloqueado) << peticion;
        EXPECT_EQ(indicador.pesadas.size(), 2);
        EXPECT_EQ(Lote(), 5);
    }
    EXPECT_FALSE(QFile::exists(carpeta.ruta("pesadas.txt")));
}

TEST_F(LeerAuditoriaTest, BusyIndicatorWritesNothing) {
    indicador.cargar(2);
    indicador.estado = 1;
    op.responder({false, true});
    EXPECT_EQ(Bajar().fin, FinDescarga::Ocupado);
    EXPECT_EQ(Bajar().fin, FinDescarga::Esperar);
    ASSERT_EQ(op.mensajes.size(), 2);
    EXPECT_TRUE(op.mensajes[0].texto.endsWith(
        "\nDesea esperar la finalización del proceso y descargar las pesadas?"));
    EXPECT_EQ(indicador.escrituras(), 0);
    EXPECT_EQ(indicador.pesadas.size(), 2);
    EXPECT_EQ(LeerEstadoIndicador(indicador), EstadoIndicador::Ocupado);
}

TEST_F(LeerAuditoriaTest, EmptyMemoryUnlocksWithoutBatchOrFile) {
    EXPECT_EQ(Bajar().fin, FinDescarga::SinPesadas);
    EXPECT_FALSE(indicador.bloqueado);
    EXPECT_EQ(op.textos(), QStringList({"Comunicación finalizada con éxito\nNo hay pesadas "
                                        "almacenadas\nNo se creo fichero"}));
    EXPECT_EQ(Lote(), 5);
    EXPECT_FALSE(QFile::exists(carpeta.ruta("pesadas.txt")));

    op.mensajes.clear();
    indicador.fallarDesbloqueo();
    EXPECT_EQ(Bajar().fin, FinDescarga::FalloDesbloqueo);
    EXPECT_EQ(op.textos(), QStringList({"Error al desbloquear el indicador\nPresione "
                                        "Desbloquear para desbloquear"}));
    EXPECT_TRUE(indicador.bloqueado);
}

TEST_F(LeerAuditoriaTest, OverflowWarnsAndReadsExactlyTheCapacity) {
    indicador.cargar(500);
    indicador.cuentaForzada = 501;
    indicador.contador = 20000;
    const ResultadoDescarga r = Bajar();
    EXPECT_EQ(r.fin, FinDescarga::Completa);
    EXPECT_EQ(r.cantidad, 500);
    EXPECT_TRUE(indicador.peticiones.contains("R 7041 6500"));
    ASSERT_EQ(op.mensajes.size(), 2);
    EXPECT_EQ(op.mensajes[0].texto,
              "El indicador no pudo almacenar 1 pesadas por falta de espacio\nRealice "
              "comunicaciones mas frecuentes para evitar futuras perdidas");
    const QStringList lineas = LineasPlano();
    ASSERT_EQ(lineas.size(), 500);
    EXPECT_TRUE(lineas[499].startsWith("6;500;5000;500;1500;"));
    EXPECT_TRUE(lineas[499].endsWith(";19999"));
}

TEST_F(LeerAuditoriaTest, RecordsReadGivesUpOnTwoEmptyAnswersOrACancelAndGoesOnOtherwise) {
    indicador.cargar(3);
    // The first 8 registers arrive, then the link gives up; then twice nothing at all.
    indicador.fallar("R 7041");
    indicador.fallar("R 7049", 2);
    indicador.antes = [this](const PeticionEnlace&) {
        if (indicador.peticiones.contains("R 7041 39")) indicador.bytesParciales = 0;
    };
    Reintentos = 0;
    EXPECT_EQ(Bajar().fin, FinDescarga::FalloPesadas);
    EXPECT_EQ(indicador.peticiones.filter("R 7049 31").size(), 2);
    EXPECT_TRUE(
        carpeta.leer("Datos.log")
            .contains("No se pudo bajar las 3 pesadas (39) - Long. Rx = 8 - Reintentos = 0"));
    EXPECT_EQ(MitadBytes(17), "8.5");

    indicador.antes = {};
    indicador.bytesParciales = 16;
    indicador.peticiones.clear();
    indicador.fallar("R 7041");
    indicador.cancelar = true;
    EXPECT_EQ(Bajar().fin, FinDescarga::FalloPesadas);
    EXPECT_EQ(indicador.peticiones.filter("R 70").size(), 2);  // count and records, once
    EXPECT_TRUE(indicador.bloqueado);
    EXPECT_EQ(indicador.pesadas.size(), 3);
    EXPECT_EQ(Lote(), 5);
    EXPECT_FALSE(QFile::exists(carpeta.ruta("pesadas.txt")));

    indicador.cancelar = false;
    indicador.fallar("R 7041");
    EXPECT_EQ(Bajar().fin, FinDescarga::Completa);
    const QStringList lineas = LineasPlano();
    ASSERT_EQ(lineas.size(), 3);
    EXPECT_TRUE(lineas[1].startsWith("6;2;20;2;1002;ABC;"));
    EXPECT_TRUE(lineas[2].startsWith("6;3;30;3;1003;ABC;"));
}

TEST_F(LeerAuditoriaTest, FailedDeleteOrUnlockAfterStoring) {
    indicador.cargar(2);
    indicador.fallar("T 6");
    EXPECT_EQ(Bajar().fin, FinDescarga::FalloEliminar);
    EXPECT_TRUE(indicador.bloqueado);
    EXPECT_EQ(indicador.pesadas.size(), 2);
    EXPECT_EQ(op.textos(), QStringList({"Error al eliminar pesadas en balanza\nElimine "
                                        "manualmente para evitar duplicados"}));

    op.mensajes.clear();
    indicador.fallarDesbloqueo();
    EXPECT_EQ(Bajar().fin, FinDescarga::FalloDesbloqueo);
    EXPECT_TRUE(indicador.pesadas.isEmpty());
    EXPECT_EQ(op.textos(), QStringList({"Elimine manualmente para evitar duplicados\nPresione "
                                        "Eliminar para desbloquear"}));
    EXPECT_EQ(Lote(), 7);
}

TEST(ComandosIndicador, UnlockAndDeleteAskFirstAndAlwaysUnlock) {
    CarpetaTemporal carpeta;
    EnlaceFalso indicador;
    indicador.bloqueado = true;
    indicador.cargar(2);
    InteraccionGuion op;
    EXPECT_EQ(CmdDesbloquear(indicador, op), ResultadoComando::Rechazado);
    EXPECT_EQ(CmdEliminar(indicador, op), ResultadoComando::Rechazado);
    EXPECT_TRUE(indicador.peticiones.isEmpty());

    // Unreachable: both errors, in this order.
    op.mensajes.clear();
    indicador.fallar("T 6");
    indicador.fallar("T 13541");
    op.responder({true});
    EXPECT_EQ(CmdEliminar(indicador, op), ResultadoComando::Fallo);
    EXPECT_EQ(op.textos().mid(1), QStringList({"Error al comunicar con el Indicador",
                                               "Error al desbloquear el indicador\nPresione "
                                               "Eliminar para desbloquear"}));
    EXPECT_EQ(indicador.pesadas.size(), 2);
    EXPECT_TRUE(indicador.bloqueado);

    op.responder({true, true});
    EXPECT_EQ(CmdEliminar(indicador, op), ResultadoComando::Hecho);
    EXPECT_TRUE(indicador.pesadas.isEmpty());
    EXPECT_FALSE(indicador.bloqueado);
    indicador.bloqueado = true;
    EXPECT_EQ(CmdDesbloquear(indicador, op), ResultadoComando::Hecho);
    EXPECT_FALSE(indicador.bloqueado);
}

}  // namespace
