// The product table where its SQL differs by engine: SQLite always, PostgreSQL when
// BASCORA_PRUEBA_PG names a server (scripts/postgres-prueba.sh), in a table of its own.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSqlError>
#include <QSqlQuery>

#include "tests/productos/Entorno.h"

namespace {

class MotoresProductos : public ::testing::TestWithParam<const char*> {
  protected:
    void SetUp() override {
        if (GetParam() == std::string("PostgreSQL")) {
            cadena = qEnvironmentVariable("BASCORA_PRUEBA_PG");
            if (cadena.isEmpty()) GTEST_SKIP() << "BASCORA_PRUEBA_PG is not set";
        } else {
            cadena = QStringLiteral("Driver=QSQLITE;Data Source=datos.db;");
            QString error;
            ASSERT_TRUE(AbrirConexion("crear", cadena, true, &error)) << error.toStdString();
            CerrarConexion("crear");
        }
        const QString sufijo = QString::number(QCoreApplication::applicationPid());
        plu = {cadena, "plu_prueba_" + sufijo};
        Borrar();
        QSqlQuery q(ConexionPara(cadena));
        ASSERT_TRUE(q.exec("CREATE TABLE " + plu.tabla +
                           " (Codigo INTEGER, Grupo INTEGER CHECK (Grupo BETWEEN 1 AND 8), "
                           "Nombre VARCHAR(46), EAN VARCHAR(15), Aux VARCHAR(1))"))
            << q.lastError().text().toStdString();
    }
    void TearDown() override {
        if (!cadena.isEmpty()) Borrar();
        CerrarConexionesDelHilo();
    }
    void Borrar() {
        QSqlQuery q(ConexionPara(cadena));
        q.exec("DROP TABLE IF EXISTS " + plu.tabla);
    }
    QList<Producto> Todos(OrdenProductos orden = OrdenProductos::GrupoCodigo) {
        return LeerProductos(plu, 0, orden).value_or(QList<Producto>{});
    }

    CarpetaTemporal carpeta;  // the SQLite file lives here
    QString cadena;
    TablaDatos plu;
};

TEST_P(MotoresProductos, EditsTouchOneRowEvenAmongEqualOnesAndAFailedReplacementNone) {
    const Producto a{5, 2, "Ñandú", "", ""}, b{1, 2, "Zeta", "30", "x"};
    ASSERT_TRUE(ReemplazarProductos(plu, {a, a, b, {9, 1, "Uno", "", ""}}));
    EXPECT_EQ(LeerProductos(plu, 2, OrdenProductos::Codigo).value(), (QList<Producto>{b, a, a}));
    EXPECT_EQ(Todos(OrdenProductos::EAN).last(), b);

    Producto a2 = a;
    a2.Nombre = "Ñandú 2";
    ASSERT_TRUE(ModificarProducto(plu, a, a2));
    EXPECT_EQ(LeerProductos(plu, 2, OrdenProductos::Codigo).value(), (QList<Producto>{b, a, a2}));
    ASSERT_TRUE(EliminarProducto(plu, a));
    EXPECT_EQ(LeerProductos(plu, 2, OrdenProductos::Codigo).value(), (QList<Producto>{b, a2}));
    EXPECT_FALSE(EliminarProducto(plu, a));  // no such row any more
    ASSERT_TRUE(AgregarProducto(plu, {7, 8, "it's; \"quoted\"", "", ""}));
    EXPECT_EQ(Todos().last().Nombre, "it's; \"quoted\"");

    // A failed replacement leaves the table as it was.
    const QList<Producto> antes = Todos();
    EXPECT_FALSE(ReemplazarProductos(plu, {{3, 3, "c", "", ""}, {4, 9, "fuera", "", ""}}));
    EXPECT_EQ(Todos(), antes);
}

INSTANTIATE_TEST_SUITE_P(Motores, MotoresProductos, ::testing::Values("SQLite", "PostgreSQL"),
                         [](const auto& info) { return std::string(info.param); });

}  // namespace
