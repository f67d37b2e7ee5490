// The weighing table's indexes after the folder preparation: each sort and the date filter of the
// report is read straight from an index (no sorting step in the plan), in both directions, and
// the per-column indexes of older folders that no sort uses are gone.
#include <gtest/gtest.h>

#include <QSqlQuery>

#include "data/Conexion.h"
#include "data/Provision.h"
#include "reports/ConsultaReporte.h"
#include "tests/data/MotorDatos.h"

namespace {

const QString kCadena = QStringLiteral("Driver=QSQLITE;Data Source=datos.db;");

QStringList Indices() {
    QSqlQuery q(ConexionPara(kCadena));
    q.exec(
        QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'index' AND "
                       "tbl_name = 'Reporte' AND sql IS NOT NULL ORDER BY name"));
    QStringList nombres;
    while (q.next()) nombres << q.value(0).toString();
    return nombres;
}

QString Plan(const QString& sql, const QVariantList& valores) {
    QSqlQuery q(ConexionPara(kCadena));
    q.prepare(QStringLiteral("EXPLAIN QUERY PLAN ") + sql);
    for (const QVariant& v : valores) q.addBindValue(v);
    q.exec();
    QStringList pasos;
    while (q.next()) pasos << q.value(3).toString();
    return pasos.join(QStringLiteral(" | "));
}

TEST(IndicesReporte, CadaOrdenYElFiltroDeFechasSalenDeUnIndice) {
    CarpetaTemporal carpeta;
    // A folder prepared by an older version: one index per column.
    const QString nombre = NuevoNombreConexion();
    ASSERT_TRUE(AbrirConexion(nombre, kCadena, true, nullptr));  // creates the file
    CerrarConexion(nombre);
    EjecutarSql(kCadena, QStringLiteral("CREATE TABLE Reporte (Lote INTEGER, Numero INTEGER, "
                                        "Fecha VARCHAR(10), Hora VARCHAR(8), Peso DOUBLE)"));
    for (const char* c : {"Lote", "Numero", "Fecha", "Hora", "Peso"}) {
        EjecutarSql(kCadena, QStringLiteral("CREATE INDEX Reporte_%1 ON Reporte (%1)").arg(c));
    }
    InformeProvision informe;
    PrepararBase(kCadena, informe);
    ASSERT_TRUE(informe.ok()) << qPrintable(informe.Texto());

    QStringList esperados{"Reporte_Lote_Numero", "Reporte_Orden_FechaIso", "Reporte_Orden_Hora",
                          "Reporte_Orden_Numero", "Reporte_Orden_Peso"};
    for (int k = 1; k <= 5; ++k) esperados << QStringLiteral("Reporte_Orden_Codigo%1").arg(k);
    esperados.sort();
    EXPECT_EQ(Indices(), esperados);

    const auto fecha = FiltroFecha("Fecha", QDate(2005, 3, 1), QDate(2005, 3, 31), "DD/MM/YYYY");
    struct Caso {
        QList<Filtro> filtros;
        QString orden;
    };
    QList<Caso> casos{{{}, ""}, {{*fecha}, "Fecha"}};
    for (const QString& c : ColumnasReporte().mid(0, 10)) casos.append({{}, c});
    for (const Caso& caso : casos) {
        ConsultaReporte consulta;
        ASSERT_TRUE(consulta.Abrir({{kCadena, "Reporte"}, caso.filtros, caso.orden}, nullptr));
        for (bool descendente : {false, true}) {
            const QString plan = Plan(consulta.Sql(descendente), consulta.Valores());
            EXPECT_FALSE(plan.contains(QStringLiteral("TEMP B-TREE")))
                << qPrintable(caso.orden) << " " << descendente << ": " << qPrintable(plan);
            EXPECT_TRUE(plan.contains(QStringLiteral("INDEX"))) << qPrintable(plan);
        }
    }
    CerrarConexionesDelHilo();
}

}  // namespace
