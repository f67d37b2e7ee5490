// The record grid window over a record set: caption, shared position and bound values.
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
        auto* grilla = ventana.findChild<QTableView*>("grdDataGrid");
        ASSERT_TRUE(grilla);
        // Same order as the caller's set: the third row is Numero 8.
        EXPECT_EQ(grilla->model()->index(2, 1).data().toInt(), 8);
        EXPECT_EQ(grilla->currentIndex().row(), 2);
        ventana.IrA(10);
        EXPECT_EQ(Caption(ventana), "Dato: 10/10");
        EXPECT_FALSE(ventana.findChild<QWidget*>("Command1")->isVisible());
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
