// The manual download against a scripted indicator: the order of requests, what a failure at each
// step leaves in the indicator and on the PC.
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

    CarpetaTemporal carpeta;
    EnlaceFalso indicador;
    InteraccionGuion op;
    OpcionesCampos campos;
};

TEST_F(LeerAuditoriaTest, DownloadsStoresDeletesAndUnlocksInOrderAndACancelWritesNothing) {
    indicador.cargar(3);
    indicador.reintentosLectura = 2;
    EXPECT_EQ(Bajar().fin, FinDescarga::Completa);
    EXPECT_EQ(LoteGuardado(), 6);
    EXPECT_EQ(indicador.peticiones,
              QStringList({"R 14396 1", "T 13541 ff00", "R 7040 1", "R 15705 2", "R 7041 39",
                           "T 6 4700", "T 13541 0000"}));
    const QStringList lineas = LineasDe("pesadas.txt");
    ASSERT_EQ(lineas.size(), 3);
    // Lote, Numero, Peso, codes, date, time, Secuencia (counter 1000 - 3 + Numero - 1).
    EXPECT_TRUE(lineas[0].startsWith("6;1;10;1;1001;ABC;0;0;")) << lineas[0].toStdString();
    EXPECT_TRUE(lineas[0].endsWith(";09:30:00;997")) << lineas[0].toStdString();
    EXPECT_TRUE(
        carpeta.leer("Datos.log").contains("3 pesadas (39) bajadas despues de 2 reintentos"));

    // An operator's cancel ends the records read at once, with no retry, and writes nothing.
    indicador.cargar(2);
    indicador.peticiones.clear();
    indicador.fallar("R 7041");
    indicador.cancelar = true;
    EXPECT_EQ(Bajar().fin, FinDescarga::FalloPesadas);
    EXPECT_EQ(indicador.peticiones.filter("R 70").size(), 2);  // count and records, once
    EXPECT_TRUE(indicador.bloqueado);
    EXPECT_EQ(indicador.pesadas.size(), 2);
    EXPECT_EQ(LoteGuardado(), 6);
    EXPECT_EQ(LineasDe("pesadas.txt").size(), 3);
}

TEST_F(LeerAuditoriaTest, OverflowWarnsAndReadsExactlyTheCapacity) {
    indicador.cargar(500);
    indicador.cuentaForzada = 501;
    indicador.contador = 20000;
    EXPECT_EQ(Bajar().fin, FinDescarga::Completa);
    EXPECT_TRUE(indicador.peticiones.contains("R 7041 6500"));
    EXPECT_EQ(op.mensajes.size(), 2);  // the loss told before the result
    const QStringList lineas = LineasDe("pesadas.txt");
    ASSERT_EQ(lineas.size(), 500);
    EXPECT_TRUE(lineas[499].startsWith("6;500;5000;500;1500;"));
    EXPECT_TRUE(lineas[499].endsWith(";19999"));
}

// A delete that fails still unlocks: the indicator is never left locked by the command.
TEST(ComandosIndicador, UnlockAndDeleteAskFirstAndAlwaysUnlock) {
    CarpetaTemporal carpeta;
    EnlaceFalso indicador;
    indicador.bloqueado = true;
    indicador.cargar(2);
    InteraccionGuion op;
    EXPECT_EQ(CmdDesbloquear(indicador, op), ResultadoComando::Rechazado);
    EXPECT_EQ(CmdEliminar(indicador, op), ResultadoComando::Rechazado);
    EXPECT_TRUE(indicador.peticiones.isEmpty());

    indicador.fallar("T 6");
    op.responder({true});
    EXPECT_EQ(CmdEliminar(indicador, op), ResultadoComando::Fallo);
    EXPECT_EQ(indicador.peticiones.last(), "T 13541 0000");
    EXPECT_EQ(indicador.pesadas.size(), 2);

    op.responder({true, true});
    EXPECT_EQ(CmdEliminar(indicador, op), ResultadoComando::Hecho);
    EXPECT_TRUE(indicador.pesadas.isEmpty());
    EXPECT_FALSE(indicador.bloqueado);
}

}  // namespace
