// The record grid window over a record set: shared position, bound values, the caller's set kept.
#include <gtest/gtest.h>

#include <QTableView>

#include "data/CDatos.h"
#include "reports/ui/FrmDataGrid.h"
#include "tests/data/MotorDatos.h"

namespace {

class GrillaEnMotor : public MotorDatos {};
INSTANCIAR_MOTORES(GrillaEnMotor);

QString Caption(const FrmDataGrid& ventana) {
    return ventana.findChild<QWidget*>("Data1")->property("caption").toString();
}

TEST_P(GrillaEnMotor, CompartePosicionYMuestraDato) {
    LlenarReporte(10);
    CDatos datos;
    datos.AbrirBase(cadena);
    datos.AbreRegistro("SELECT * FROM Reporte WHERE Fecha <> ? ORDER BY Numero DESC", {"x'"});
    datos.Registro.MoveNext();
    datos.Registro.MoveNext();

    {
        FrmDataGrid ventana;
        ASSERT_TRUE(ventana.Abrir(datos.Registro));
        ventana.show();
        EXPECT_EQ(Caption(ventana), "Dato: 3/10");
        // Same order as the caller's set: the third row is Numero 8.
        const auto* grilla = ventana.findChild<QTableView*>("grdDataGrid");
        EXPECT_EQ(grilla->currentIndex().siblingAtColumn(1).data().toInt(), 8);
        ventana.IrA(10);
        ventana.close();
    }
    // Closing and deleting the window leaves the caller's record set as it was.
    EXPECT_EQ(datos.Registro.Campo("Numero").toInt(), 8);
}

TEST(Grilla, FuenteQueNoAbreDejaLaGrillaVacia) {
    FrmDataGrid ventana;
    EXPECT_FALSE(ventana.Abrir("Driver=QSQLITE;Data Source=falta.db;", "SELECT * FROM Reporte"));
    EXPECT_EQ(Caption(ventana), "Dato: 0/0");
}

}  // namespace
