// The report and filter windows: navigator caption, sort by caption, filter by box, the grid,
// delete-all with its question, export as a job; the filter window's boxes and date check.
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

TEST_F(VentanaReporte, NavegadorCaptionsDeCodigosYOrdenPorCaption) {
    Llenar();
    EjecutarSql(kCadena,
                QStringLiteral("UPDATE PLU_SETUP SET Nombre = 'Cliente' WHERE Codigo = 1"));
    frmReporte w(nullptr, &guion);
    EXPECT_EQ(Caption(w), "Pesada: 1/10");
    QTest::mouseClick(w.findChild<QWidget*>("Siguiente"), Qt::LeftButton);
    QTest::mouseClick(w.findChild<QWidget*>("Siguiente"), Qt::LeftButton);
    EXPECT_EQ(Caption(w), "Pesada: 3/10");
    EXPECT_EQ(Caja(w, 1), "3");
    QTest::mouseClick(w.findChild<QWidget*>("Ultimo"), Qt::LeftButton);
    EXPECT_EQ(Caption(w), "Pesada: 10/10");
    EXPECT_EQ(w.findChild<QLabel*>("Lbl_Campo_5")->text(), "Cliente:");

    QTest::mouseDClick(w.findChild<QLabel*>("Lbl_Campo_4"), Qt::LeftButton);  // Peso
    EXPECT_EQ(Caption(w), "Pesada: 1/10");
    EXPECT_EQ(Caja(w, 1), "10");  // the lightest
}

TEST_F(VentanaReporte, FiltroPorCajaGrillaYBorrarTodo) {
    Llenar();
    frmReporte w(nullptr, &guion);
    QList<QPair<QString, TipoFiltro>> pedidos;
    w.FijarPeticionFiltro([&](const QString& campo, TipoFiltro tipo) {
        pedidos.append({campo, tipo});
        if (tipo == TipoFiltro::Fecha) {
            return *FiltroFecha(campo, QDate(2005, 3, 4), QDate(2005, 3, 6), "DD/MM/YYYY");
        }
        return FiltroCancelado(campo, tipo);
    });
    QTest::mouseDClick(w.findChild<QLineEdit*>("txt_Dato_3"), Qt::LeftButton);  // Hora: cancelled
    EXPECT_EQ(Caption(w), "Pesada: 1/10");
    QTest::mouseDClick(w.findChild<QLineEdit*>("txt_Dato_0"), Qt::LeftButton);
    QTest::mouseDClick(w.findChild<QLineEdit*>("txt_Dato_2"), Qt::LeftButton);
    EXPECT_EQ(pedidos, (QList<QPair<QString, TipoFiltro>>{{"Hora", TipoFiltro::Texto},
                                                          {"Lote", TipoFiltro::Numero},
                                                          {"Fecha", TipoFiltro::Fecha}}));
    EXPECT_EQ(Caption(w), "Pesada: 1/3");
    EXPECT_EQ(Caja(w, 1), "4");
    EXPECT_TRUE(
        w.findChild<QLabel*>("LblFiltro")->text().contains("Fecha entre 04/03/2005 y 06/03/2005"));

    // The grid gets the filtered rows in the same order, on the current row.
    QTest::mouseClick(w.findChild<QWidget*>("Siguiente"), Qt::LeftButton);
    QTest::mouseClick(w.findChild<QPushButton*>("cmdGrid"), Qt::LeftButton);
    auto* grilla = w.findChild<FrmDataGrid*>();
    ASSERT_TRUE(grilla);
    EXPECT_EQ(grilla->Cantidad(), 3);
    EXPECT_EQ(grilla->Posicion(), 2);

    grilla->close();

    // Delete-all asks first; "no" leaves every row, as removing the filter shows.
    auto* borrar = w.findChild<QPushButton*>("CmdBorrar");
    guion.responder({false});
    QTest::mouseClick(borrar, Qt::LeftButton);
    ASSERT_EQ(guion.mensajes.size(), 1);
    EXPECT_EQ(guion.mensajes.at(0).texto, "Desea borrar las pesadas almacenadas?");
    EXPECT_EQ(guion.mensajes.at(0).titulo, "Atencion");
    QTest::mouseClick(w.findChild<QPushButton*>("cmdQuitarFiltro"), Qt::LeftButton);
    EXPECT_EQ(Caption(w), "Pesada: 1/10");
    EXPECT_TRUE(w.findChild<QLabel*>("LblFiltro")->text().isEmpty());

    guion.responder({true});
    QTest::mouseClick(borrar, Qt::LeftButton);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return !w.TrabajoEnCurso() && Caption(w) == "Pesada: 0/0"; }, 10000))
        << qPrintable(Caption(w));
    EXPECT_EQ(guion.mensajes.size(), 2);  // no failure message
}

TEST_F(VentanaReporte, ExportaComoTrabajo) {
    Llenar();
    frmReporte w(nullptr, &guion);
    w.Exportar(carpeta.ruta("todo.csv"), false);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return !w.TrabajoEnCurso() && !guion.mensajes.isEmpty(); }, 10000));
    EXPECT_EQ(guion.mensajes.last().texto, "Pesadas exportadas a " + carpeta.ruta("todo.csv"));
    EXPECT_EQ(carpeta.leer("todo.csv").count('\n'), 11);
}

TEST(VentanaFiltro, NumerosNormalizadosYRangoDeFechasInvertido) {
    InteraccionGuion guion;
    frmFiltro numeros("Peso", TipoFiltro::Numero, nullptr, &guion);
    numeros.findChild<QLineEdit*>("TxtNumero_0")->setText("abc");
    QTest::mouseClick(numeros.findChild<QPushButton*>("CmdOkNumero"), Qt::LeftButton);
    EXPECT_EQ(numeros.findChild<QLineEdit*>("TxtNumero_1")->text(), "0");
    EXPECT_TRUE(numeros.Resultado().aceptado);
    EXPECT_EQ(numeros.Resultado().valores, (QVariantList{0LL, 0LL}));

    frmFiltro fechas("Fecha", TipoFiltro::Fecha, nullptr, &guion);
    fechas.findChild<QDateEdit*>("Fecha1")->setDate(QDate(2005, 3, 6));
    fechas.findChild<QDateEdit*>("Fecha2")->setDate(QDate(2005, 3, 5));
    QTest::mouseClick(fechas.findChild<QPushButton*>("CmdOkFecha"), Qt::LeftButton);
    ASSERT_EQ(guion.mensajes.size(), 1);
    EXPECT_EQ(guion.mensajes.at(0).texto, "Error en el rango de fechas");
    EXPECT_EQ(guion.mensajes.at(0).titulo, "Error");
    EXPECT_FALSE(fechas.Resultado().aceptado);

    frmFiltro texto("Hora", TipoFiltro::Texto, nullptr, &guion);
    texto.findChild<QLineEdit*>("TxtDato")->setText("09*");
    QTest::mouseClick(texto.findChild<QPushButton*>("CmdCancelDato"), Qt::LeftButton);
    EXPECT_FALSE(texto.Resultado().aceptado);
    EXPECT_TRUE(texto.Resultado().criterio.isEmpty());
}

}  // namespace
