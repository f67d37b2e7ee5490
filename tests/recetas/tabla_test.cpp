// The recipes table on each engine (the order of missing values, the case of table names):
// SQLite always, PostgreSQL when BASCORA_PRUEBA_PG names a server (scripts/postgres-prueba.sh),
// in a table of its own.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSqlError>
#include <QSqlQuery>

#include "data/Conexion.h"
#include "products/Recetas.h"
#include "tests/support/CarpetaTemporal.h"

namespace {

class TablaRecetas : public ::testing::TestWithParam<QString> {
  protected:
    void SetUp() override {
        if (GetParam() == u"PostgreSQL") {
            tabla.conexion = qEnvironmentVariable("BASCORA_PRUEBA_PG");
            if (tabla.conexion.isEmpty()) GTEST_SKIP() << "BASCORA_PRUEBA_PG is not set";
        } else {
            tabla.conexion = QStringLiteral("Driver=QSQLITE;Data Source=datos.db;");
            carpeta.escribir("datos.db", QByteArray());
        }
        // Mixed case and unquoted: PostgreSQL keeps it in lower case.
        tabla.tabla = QStringLiteral("RecetasPrueba%1").arg(QCoreApplication::applicationPid());
        QStringList columnas{"Receta INTEGER PRIMARY KEY"};
        for (int k = 1; k <= 16; ++k) columnas << QStringLiteral("Ingrediente%1 FLOAT").arg(k);
        Sql("DROP TABLE IF EXISTS " + tabla.tabla);
        Sql(QStringLiteral("CREATE TABLE %1 (%2)").arg(tabla.tabla, columnas.join(", ")));
        Sql("INSERT INTO " + tabla.tabla +
            " (Receta, Ingrediente1, Ingrediente2) VALUES "
            "(3, 1.5, 7), (1, 2.5, 7), (2, 0.5, NULL), (4, 9, 1)");
    }
    void TearDown() override {
        if (!tabla.conexion.isEmpty()) Sql("DROP TABLE IF EXISTS " + tabla.tabla);
        CerrarConexionesDelHilo();
    }
    void Sql(const QString& sql) {
        QSqlQuery q(ConexionPara(tabla.conexion));
        ASSERT_TRUE(q.exec(sql)) << qPrintable(sql) << qPrintable(q.lastError().text());
    }
    static QList<int> Numeros(const QList<RegistroReceta>& filas) {
        QList<int> n;
        for (const RegistroReceta& r : filas) n << r.Receta;
        return n;
    }

    CarpetaTemporal carpeta;
    TablaDatos tabla;
};

TEST_P(TablaRecetas, ListedInColumnOrderWrittenByNumberAndNamedSafely) {
    QString error;
    EXPECT_EQ(Numeros(LeerRecetas(tabla, 1, &error)), QList<int>({2, 3, 1, 4}));
    const QList<RegistroReceta> porSegundo = LeerRecetas(tabla, 2, &error);
    // Where the engine puts the missing value differs; the rest keeps its order.
    QList<int> conValor = Numeros(porSegundo);
    conValor.removeAll(2);
    EXPECT_EQ(conValor, QList<int>({4, 1, 3}));
    EXPECT_EQ(porSegundo.size(), 4);

    // Values and missing values survive a write by recipe number.
    std::optional<RegistroReceta> r = LeerReceta(tabla, 2, &error);
    ASSERT_TRUE(r.has_value()) << qPrintable(error);
    EXPECT_FALSE(r->Ingrediente[1].has_value());

    r->Ingrediente[0].reset();
    r->Ingrediente[15] = 3276.8;
    ASSERT_TRUE(GuardarReceta(tabla, *r, &error)) << qPrintable(error);
    const std::optional<RegistroReceta> leido = LeerReceta(tabla, 2, &error);
    ASSERT_TRUE(leido.has_value());
    EXPECT_FALSE(leido->Ingrediente[0].has_value());
    EXPECT_EQ(leido->Ingrediente[15], 3276.8);
    EXPECT_EQ(LeerReceta(tabla, 1, &error)->Ingrediente[0], 2.5);  // only its own row

    r->Receta = 9;  // never added by a write
    EXPECT_FALSE(GuardarReceta(tabla, *r, &error));
    EXPECT_FALSE(LeerReceta(tabla, 9, &error).has_value());

    // A missing or hostile table name is an error and nothing else.
    for (const QString& nombre :
         {QStringLiteral("NoHay"), tabla.tabla + "; DROP TABLE " + tabla.tabla + "; --"}) {
        const TablaDatos otra{tabla.conexion, nombre};
        EXPECT_TRUE(LeerRecetas(otra, 0, &error).isEmpty());
        EXPECT_FALSE(error.isEmpty()) << qPrintable(nombre);
        EXPECT_FALSE(LeerReceta(otra, 1, &error).has_value());
        EXPECT_FALSE(error.isEmpty());
    }
    EXPECT_EQ(LeerRecetas(tabla, 0, &error).size(), 4);
}

INSTANTIATE_TEST_SUITE_P(Motores, TablaRecetas,
                         ::testing::Values(QStringLiteral("SQLite"), QStringLiteral("PostgreSQL")),
                         [](const auto& info) { return info.param.toStdString(); });

}  // namespace
