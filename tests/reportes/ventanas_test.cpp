// The report and filter windows driven through the core.
#include <gtest/gtest.h>

#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "base/Globales.h"
#include "data/Conexion.h"
#include "data/Provision.h"
#include "reports/ui/FrmDataGrid.h"
#include "reports/ui/FrmFiltro.h"
#include "reports/ui/FrmReporte.h"
#include "tests/data/MotorDatos.h"
#include "tests/support/InteraccionGuion.h"

namespace {

const QString kCadena = QStringLiteral("Driver=QSQLITE;Data Source=datos.db;");

class VentanaReporte : public ::testing::Test {
  protected:
    void SetUp() override {
        InformeProvision informe;
        PrepararBase(kCadena, informe);
        ASSERT_TRUE(informe.ok()) << qPrintable(informe.Texto());
        DataCSReporte = DataCSPLU_SETUP = kCadena;
        DataTbReporte = QStringLiteral("Reporte");
        DataTbPLU_SETUP = QStringLiteral("PLU_SETUP");
    }
    void TearDown() override { CerrarConexionesDelHilo(); }
    // Ten weighings of batch 1: Peso falls as Numero grows, one a day from 1 March 2005.
    void Llenar() {
        EjecutarSql(kCadena,
                    QStringLiteral("WITH RECURSIVE s(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM s "
                                   "WHERE i < 10) INSERT INTO Reporte (Lote, Numero, Fecha, Hora, "
                                   "Peso, Codigo1, FechaIso) SELECT 1, i, printf('%02d/03/05', i), "
                                   "'09:30', 11 - i, i, printf('2005-03-%02d', i) FROM s"));
    }
    static QString Caption(QWidget& w) {
        return w.findChild<QWidget*>("Data1")->property("caption").toString();
    }
    static QString Caja(QWidget& w, int i) {
        return w.findChild<QLineEdit*>(QStringLiteral("txt_Dato_%1").arg(i))->text();
    }

    CarpetaTemporal carpeta;
    InteraccionGuion guion;
};

// The main path through the core: navigate, sort by a caption, filter by a box, open the grid on
// the filtered rows, export as a job, and delete-all only after the question.
TEST_F(VentanaReporte, NavegaOrdenaFiltraExportaYBorra) {
    Llenar();
    frmReporte w(nullptr, &guion);
    QTest::mouseClick(w.findChild<QWidget*>("Ultimo"), Qt::LeftButton);
    EXPECT_EQ(Caption(w), "Pesada: 10/10");
    QTest::mouseDClick(w.findChild<QLabel*>("Lbl_Campo_4"), Qt::LeftButton);  // Peso
    EXPECT_EQ(Caja(w, 1), "10");                                              // the lightest

    w.FijarPeticionFiltro([&](const QString& campo, TipoFiltro) {
        return *FiltroFecha(campo, QDate(2005, 3, 4), QDate(2005, 3, 6), "DD/MM/YYYY");
    });
    QTest::mouseDClick(w.findChild<QLineEdit*>("txt_Dato_2"), Qt::LeftButton);  // Fecha
    EXPECT_EQ(Caption(w), "Pesada: 1/3");
    // The grid gets the filtered rows in the same order, on the current row.
    QTest::mouseClick(w.findChild<QWidget*>("Siguiente"), Qt::LeftButton);
    QTest::mouseClick(w.findChild<QPushButton*>("cmdGrid"), Qt::LeftButton);
    auto* grilla = w.findChild<FrmDataGrid*>();
    ASSERT_TRUE(grilla);
    EXPECT_EQ(grilla->Cantidad(), 3);
    EXPECT_EQ(grilla->Posicion(), 2);
    grilla->close();

    w.Exportar(carpeta.ruta("filtradas.csv"), false);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w.TrabajoEnCurso() && !guion.mensajes.isEmpty(); }));
    EXPECT_EQ(carpeta.leer("filtradas.csv").count('\n'), 4);

    // Delete-all asks first; "no" leaves every row, as removing the filter shows.
    auto* borrar = w.findChild<QPushButton*>("CmdBorrar");
    guion.responder({false});
    QTest::mouseClick(borrar, Qt::LeftButton);
    QTest::mouseClick(w.findChild<QPushButton*>("cmdQuitarFiltro"), Qt::LeftButton);
    EXPECT_EQ(Caption(w), "Pesada: 1/10");
    guion.responder({true});
    QTest::mouseClick(borrar, Qt::LeftButton);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return !w.TrabajoEnCurso() && Caption(w) == "Pesada: 0/0"; }, 10000))
        << qPrintable(Caption(w));
}

TEST(VentanaFiltro, NumerosNormalizadosYRangoDeFechasInvertido) {
    InteraccionGuion guion;
    frmFiltro numeros("Peso", TipoFiltro::Numero, nullptr, &guion);
    numeros.findChild<QLineEdit*>("TxtNumero_0")->setText("abc");
    QTest::mouseClick(numeros.findChild<QPushButton*>("CmdOkNumero"), Qt::LeftButton);
    EXPECT_EQ(numeros.Resultado().valores, (QVariantList{0LL, 0LL}));

    frmFiltro fechas("Fecha", TipoFiltro::Fecha, nullptr, &guion);
    fechas.findChild<QDateEdit*>("Fecha1")->setDate(QDate(2005, 3, 6));
    fechas.findChild<QDateEdit*>("Fecha2")->setDate(QDate(2005, 3, 5));
    QTest::mouseClick(fechas.findChild<QPushButton*>("CmdOkFecha"), Qt::LeftButton);
    EXPECT_EQ(guion.mensajes.size(), 1);
    EXPECT_FALSE(fechas.Resultado().aceptado);
}

}  // namespace
