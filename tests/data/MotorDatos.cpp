#include "tests/data/MotorDatos.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <cstdio>

#include "data/Conexion.h"
#include "data/Provision.h"

namespace {

const QString kSinPostgres = QStringLiteral(
    "PostgreSQL skipped: BASCORA_PRUEBA_PG is not set (run through scripts/postgres-prueba.sh)");

// Said once at the start, so that a run without a server does not look like a full pass.
class AvisoPostgres : public ::testing::Environment {
  public:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("BASCORA_PRUEBA_PG")) {
            std::fprintf(stderr, "*** %s\n", qPrintable(kSinPostgres));
        }
    }
};
[[maybe_unused]] auto* const aviso = ::testing::AddGlobalTestEnvironment(new AvisoPostgres);

const char* const kTablas =
    "plu, plu_setup, ticket1, ticket2, ticket3, ticket4, ticket5, reporte, setup, global, "
    "recetas, prueba";

}  // namespace

void MotorDatos::SetUp() {
    if (EsPostgres()) {
        cadena = qEnvironmentVariable("BASCORA_PRUEBA_PG");
        if (cadena.isEmpty()) GTEST_SKIP() << qPrintable(kSinPostgres);
        Sql(QStringLiteral("DROP TABLE IF EXISTS %1 CASCADE").arg(QString::fromLatin1(kTablas)));
    } else {
        cadena = QStringLiteral("Driver=QSQLITE;Data Source=datos.db;");
    }
    InformeProvision informe;
    PrepararBase(cadena, informe);
    ASSERT_TRUE(informe.ok()) << qPrintable(informe.Texto());
}

void MotorDatos::TearDown() {
    if (EsPostgres() && !cadena.isEmpty()) {
        Sql(QStringLiteral("DROP TABLE IF EXISTS %1 CASCADE").arg(QString::fromLatin1(kTablas)));
    }
}

void MotorDatos::Sql(const QString& sql) {
    const QString nombre = NuevoNombreConexion();
    QString error;
    ASSERT_TRUE(AbrirConexion(nombre, cadena, false, &error)) << qPrintable(error);
    {
        QSqlQuery q(QSqlDatabase::database(nombre, false));
        EXPECT_TRUE(q.exec(sql)) << qPrintable(sql) << ": " << qPrintable(q.lastError().text());
    }
    CerrarConexion(nombre);
}

void MotorDatos::LlenarReporte(int n) {
    const QString nombre = NuevoNombreConexion();
    QString error;
    ASSERT_TRUE(AbrirConexion(nombre, cadena, false, &error)) << qPrintable(error);
    {
        QSqlDatabase db = QSqlDatabase::database(nombre, false);
        db.transaction();
        QSqlQuery q(db);
        q.prepare(
            QStringLiteral("INSERT INTO Reporte (Lote, Numero, Fecha, Hora, Peso, Codigo1) "
                           "VALUES (1, ?, '24/12/05', '09:30', ?, ?)"));
        for (int i = 1; i <= n; ++i) {
            q.bindValue(0, i);
            q.bindValue(1, i / 10.0);
            q.bindValue(2, n - i);
            ASSERT_TRUE(q.exec()) << qPrintable(q.lastError().text());
        }
        db.commit();
    }
    CerrarConexion(nombre);
}
