#include "tests/data/MotorDatos.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include "data/Conexion.h"
#include "data/Provision.h"

namespace {

const QString kSinPostgres = QStringLiteral(
    "PostgreSQL skipped: BASCORA_PRUEBA_PG is not set (run through scripts/postgres-prueba.sh)");

const QString kBorrarTablas = QStringLiteral(
    "DROP TABLE IF EXISTS plu, plu_setup, ticket1, ticket2, ticket3, ticket4, ticket5, reporte, "
    "setup, global, recetas, prueba CASCADE");

// Runs `sql` on a connection of its own; `valor` gets the first value of the first row.
bool Consultar(const QString& cadena, const QString& sql, QVariant* valor, QString* error) {
    const QString nombre = NuevoNombreConexion();
    bool ok = AbrirConexion(nombre, cadena, false, error);
    if (ok) {
        QSqlQuery q(QSqlDatabase::database(nombre, false));
        ok = q.exec(sql);
        if (ok && valor && q.next()) *valor = q.value(0);
        if (!ok && error) *error = sql + ": " + q.lastError().text();
    }
    CerrarConexion(nombre);
    return ok;
}

}  // namespace

void MotorDatos::SetUp() {
    cadena = EsPostgres() ? qEnvironmentVariable("BASCORA_PRUEBA_PG")
                          : QStringLiteral("Driver=QSQLITE;Data Source=datos.db;");
    if (cadena.isEmpty()) GTEST_SKIP() << qPrintable(kSinPostgres);
    if (EsPostgres()) Sql(kBorrarTablas);
    InformeProvision informe;
    PrepararBase(cadena, informe);
    ASSERT_TRUE(informe.ok()) << qPrintable(informe.Texto());
}

void MotorDatos::TearDown() {
    CerrarConexionesDelHilo();
    if (EsPostgres() && !cadena.isEmpty()) Sql(kBorrarTablas);
}

bool MotorDatos::IntentarSql(const QString& sql) {
    return Consultar(cadena, sql, nullptr, nullptr);
}

QVariant MotorDatos::Valor(const QString& sql) {
    QVariant v;
    QString error;
    EXPECT_TRUE(Consultar(cadena, sql, &v, &error)) << qPrintable(error);
    return v;
}

void EjecutarSql(const QString& cadena, const QString& sql) {
    QString error;
    EXPECT_TRUE(Consultar(cadena, sql, nullptr, &error)) << qPrintable(error);
}

void MotorDatos::LlenarReporte(int n) {
    Sql(QStringLiteral(
            "WITH RECURSIVE s(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM s WHERE i < %1) "
            "INSERT INTO Reporte (Lote, Numero, Fecha, Hora, Peso, Codigo1) "
            "SELECT 1, i, '24/12/05', '09:30', i / 10.0, %1 - i FROM s")
            .arg(n));
}
