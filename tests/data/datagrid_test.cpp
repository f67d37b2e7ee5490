// The record grid window over a record set: caption, shared position, resize rule.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QPointer>
#include <QTableView>
#include <QTest>

#include "data/CDatos.h"
#include "reports/ui/FrmDataGrid.h"
#include "tests/data/MotorDatos.h"

namespace {

class GrillaEnMotor : public MotorDatos {};
INSTANCIAR_MOTORES(GrillaEnMotor);

QString Caption(const FrmDataGrid& ventana) {
    return ventana.findChild<QWidget*>(QStringLiteral("Data1"))->property("caption").toString();
}

TEST_P(GrillaEnMotor, CompartePosicionYMuestraDato) {
    LlenarReporte(10);
    CDatos datos;
    datos.AbrirBase(cadena);
    datos.AbreRegistro(QStringLiteral("SELECT * FROM Reporte ORDER BY Numero DESC"));
    datos.Registro.MoveNext();
    datos.Registro.MoveNext();

    auto* ventana = new FrmDataGrid;
    ASSERT_TRUE(ventana->Abrir(datos.Registro));
    ventana->show();
    EXPECT_EQ(Caption(*ventana), QStringLiteral("Dato: 3/10"));
    auto* grilla = ventana->findChild<QTableView*>(QStringLiteral("grdDataGrid"));
    ASSERT_TRUE(grilla);
    // Same order as the caller's set: the third row is Numero 8.
    EXPECT_EQ(grilla->model()->index(2, 1).data().toInt(), 8);
    EXPECT_EQ(grilla->currentIndex().row(), 2);
    ventana->IrA(10);
    EXPECT_EQ(Caption(*ventana), QStringLiteral("Dato: 10/10"));
    EXPECT_FALSE(ventana->findChild<QWidget*>(QStringLiteral("Command1"))->isVisible());
    ventana->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<FrmDataGrid> vigilada(ventana);
    ventana->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(vigilada.isNull());
    // The caller's record set is untouched.
    EXPECT_EQ(datos.Registro.Campo(QStringLiteral("Numero")).toInt(), 8);
}

TEST(Grilla, FuenteQueNoAbreDejaLaGrillaVacia) {
    FrmDataGrid ventana;
    EXPECT_FALSE(ventana.Abrir(QStringLiteral("Driver=QSQLITE;Data Source=falta.db;"),
                               QStringLiteral("SELECT * FROM Reporte")));
    EXPECT_EQ(Caption(ventana), QStringLiteral("Dato: 0/0"));
}

TEST(Grilla, LaGrillaLlenaLaVentanaSobreElControlSalvoMinimizada) {
    FrmDataGrid ventana;
    ventana.show();
    auto* grilla = ventana.findChild<QTableView*>(QStringLiteral("grdDataGrid"));
    const int ancho = grilla->width();
    ventana.resize(700, 500);
    EXPECT_EQ(grilla->height(), 500 - 28);  // 425 twips at 15 twips a pixel
    EXPECT_EQ(grilla->width(), ancho);
    ventana.setWindowState(Qt::WindowMinimized);
    ventana.resize(700, 300);
    EXPECT_EQ(grilla->height(), 500 - 28);
    ventana.setWindowState(Qt::WindowNoState);
    EXPECT_EQ(grilla->height(), ventana.height() - 28);
}

}  // namespace
