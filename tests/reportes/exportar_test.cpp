// Export of the report's rows (CSV and workbook) and the reporte command of bascora-cli.
#include <gtest/gtest.h>

#include <QFile>

#include "data/Conexion.h"
#include "data/Provision.h"
#include "reports/ExportarReporte.h"
#include "tests/data/MotorDatos.h"
#include "tests/support/LibroLeido.h"
#include "tests/support/ProcesoCli.h"
#include "weighings/LibroExcel.h"

namespace {

const QString kCadena = QStringLiteral("Driver=QSQLITE;Data Source=datos.db;");

class Exportar : public ::testing::Test {
  protected:
    void SetUp() override {
        InformeProvision informe;
        PrepararBase(kCadena, informe);
        ASSERT_TRUE(informe.ok()) << qPrintable(informe.Texto());
        // Batch 7: four weighings in March 2005, one in April, one with a quote in Hora.
        EjecutarSql(kCadena,
                    QStringLiteral("INSERT INTO Reporte (Lote, Numero, Fecha, Hora, Peso, Codigo1, "
                                   "FechaIso) VALUES "
                                   "(7, 1, '02/03/05', '10:00', 12.5, 3, '2005-03-02'),"
                                   "(7, 2, '01/03/05', '11:00', 4, 1, '2005-03-01'),"
                                   "(7, 3, '01/04/05', '09:00', 8, 2, '2005-04-01'),"
                                   "(7, 4, '03/03/05', 'a,\"b', 1.25, 0, '2005-03-03')"));
    }
    void TearDown() override { CerrarConexionesDelHilo(); }

    VistaReporte Marzo() const {
        return {{kCadena, QStringLiteral("Reporte")},
                {*FiltroFecha("Fecha", QDate(2005, 3, 1), QDate(2005, 3, 31), "DD/MM/YYYY")},
                QStringLiteral("Peso")};
    }

    CarpetaTemporal carpeta;
};

TEST_F(Exportar, CsvConLasFilasMostradasEnSuOrden) {
    QList<qint64> avances;
    QString error;
    ASSERT_TRUE(ExportarCsv(
        Marzo(), carpeta.ruta("marzo.csv"),
        [&](qint64 hechas, qint64 total) { avances << hechas << total; }, &error))
        << qPrintable(error);
    EXPECT_EQ(carpeta.leer("marzo.csv"),
              "Lote,Numero,Fecha,Hora,Peso,Codigo1,Codigo2,Codigo3,Codigo4,Codigo5,Codigo6,"
              "Codigo7,Codigo8\r\n"
              "7,4,03/03/05,\"a,\"\"b\",1.25,0,,,,,,,\r\n"
              "7,2,01/03/05,11:00,4,1,,,,,,,\r\n"
              "7,1,02/03/05,10:00,12.5,3,,,,,,,\r\n");
    EXPECT_EQ(avances, (QList<qint64>{3, 3}));
}

TEST_F(Exportar, LibroConLasFilasMostradasDesdeLaFilaSeis) {
    ASSERT_TRUE(QFile::copy(QStringLiteral(BASCORA_DIR_FUENTE "/share/PlantillaBascora.xlsx"),
                            carpeta.ruta("PlantillaBascora.xlsx")));
    QString error;
    ASSERT_TRUE(ExportarLibro(Marzo(), carpeta.ruta("marzo.xlsx"), {}, &error))
        << qPrintable(error);
    auto celdas = LeerHoja(carpeta.ruta("marzo.xlsx"), QString::fromLatin1(HojaPesadas));
    EXPECT_EQ(celdas["H3"].valor, "7");  // every row of batch 7
    EXPECT_EQ(celdas["A6"].valor, QString::number(SerieFecha(QDate(2005, 3, 3))));
    EXPECT_EQ(celdas["B6"].valor, "a,\"b");
    const QStringList pesos{celdas["C6"].valor, celdas["C7"].valor, celdas["C8"].valor};
    EXPECT_EQ(pesos, QStringList({"1.25", "4", "12.5"}));
    EXPECT_FALSE(celdas["C9"].existe);
    EXPECT_FALSE(QFile::exists(carpeta.ruta(".marzo.xlsx.parcial")));
}

TEST_F(Exportar, NuncaAtraviesaUnEnlaceYUnFalloDejaElArchivoAnterior) {
    carpeta.escribir("victima.txt", "no tocar");
    ASSERT_TRUE(QFile::link(carpeta.ruta("victima.txt"), carpeta.ruta("enlace.csv")));
    ASSERT_TRUE(QFile::link(carpeta.ruta("victima.txt"), carpeta.ruta("enlace.xlsx")));
    QString error;
    EXPECT_FALSE(ExportarCsv(Marzo(), carpeta.ruta("enlace.csv"), {}, &error));
    EXPECT_FALSE(ExportarLibro(Marzo(), carpeta.ruta("enlace.xlsx"), {}, &error));
    EXPECT_EQ(carpeta.leer("victima.txt"), "no tocar");
    // No template in the folder: the older workbook of that name stays as it was.
    carpeta.escribir("viejo.xlsx", "libro anterior");
    EXPECT_FALSE(ExportarLibro(Marzo(), carpeta.ruta("viejo.xlsx"), {}, &error));
    EXPECT_EQ(carpeta.leer("viejo.xlsx"), "libro anterior");
}

// On the fixture's rows, in a folder bascora-cli prepares again.
TEST_F(Exportar, ComandoReporteFiltraImprimeYTotaliza) {
    QByteArray salida;
    const QStringList cli{"--carpeta", carpeta.ruta()};
    ASSERT_EQ(EjecutarCli(cli + QStringList{"preparar"}, &salida), 0) << salida.toStdString();
    ASSERT_EQ(
        EjecutarCli(cli + QStringList{"reporte", "--desde", "01/03/2005", "--hasta", "02/03/2005"},
                    &salida),
        0)
        << salida.toStdString();
    const QList<QByteArray> lineas = salida.trimmed().split('\n');
    ASSERT_EQ(lineas.size(), 4) << salida.toStdString();
    EXPECT_TRUE(lineas.at(1).startsWith("7\t2\t01/03/05\t11:00\t4"));  // by calendar date
    EXPECT_EQ(lineas.at(3), "2 pesadas, Peso total: 16.5");
    for (const QStringList& mal :
         {QStringList{"reporte", "--campo", "Peso; DROP TABLE Reporte", "--patron", "1"},
          QStringList{"reporte", "--desde", "31/02/2005"},
          QStringList{"reporte", "--desde", "02/03/2005", "--hasta", "01/03/2005"}})
        EXPECT_EQ(EjecutarCli(cli + mal, &salida), 2) << mal.join(' ').toStdString();
}

}  // namespace
