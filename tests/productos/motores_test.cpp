// The product table layer on every engine: SQLite always, PostgreSQL when BASCORA_PRUEBA_PG names
// a server (scripts/postgres-prueba.sh). Tables get names of their own, so that this runs beside
// the data-store tests on the same server.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSqlError>
#include <QSqlQuery>

#include "data/Conexion.h"
#include "products/TablaProductos.h"
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
        setup = {cadena, "plu_setup_prueba_" + sufijo};
        Borrar();
        Sql("CREATE TABLE " + plu.tabla +
            " (Codigo INTEGER, Grupo INTEGER CHECK (Grupo BETWEEN 1 AND 8), Nombre VARCHAR(46), "
            "EAN VARCHAR(15), Aux VARCHAR(1))");
        Sql("CREATE TABLE " + setup.tabla +
            " (Codigo INTEGER PRIMARY KEY, Nombre VARCHAR(12), Letra VARCHAR(1), Alfa INTEGER, "
            "Texto INTEGER, CUIT INTEGER)");
        for (int k = 8; k >= 1; --k)
            Sql(QStringLiteral("INSERT INTO %1 VALUES (%2, 'G%2', NULL, -1, 0, %3)")
                    .arg(setup.tabla)
                    .arg(k * 10)
                    .arg(k == 3 ? -1 : 0));
    }
    void TearDown() override {
        if (!cadena.isEmpty()) Borrar();
        CerrarConexionesDelHilo();
    }
    void Borrar() {
        QSqlQuery q(ConexionPara(cadena));
        q.exec("DROP TABLE IF EXISTS " + plu.tabla);
        q.exec("DROP TABLE IF EXISTS " + setup.tabla);
    }
    void Sql(const QString& sql) {
        QSqlQuery q(ConexionPara(cadena));
        ASSERT_TRUE(q.exec(sql)) << sql.toStdString() << ": " << q.lastError().text().toStdString();
    }
    QList<Producto> Todos(OrdenProductos orden = OrdenProductos::GrupoCodigo) {
        return LeerProductos(plu, 0, orden).value_or(QList<Producto>{});
    }

    CarpetaTemporal carpeta;  // the SQLite file lives here
    QString cadena;
    TablaDatos plu, setup;
};

TEST_P(MotoresProductos, EditsTouchOneRowEvenAmongEqualOnes) {
    const Producto a{5, 2, "Ñandú", "", ""}, b{1, 2, "Zeta", "30", "x"};
    ASSERT_TRUE(ReemplazarProductos(plu, {a, a, b, {9, 1, "Uno", "", ""}}));
    EXPECT_EQ(ContarProductos(plu), 4);
    EXPECT_EQ(LeerProductos(plu, 2, OrdenProductos::Codigo).value(), (QList<Producto>{b, a, a}));
    EXPECT_EQ(Todos(OrdenProductos::EAN).last(), b);
    EXPECT_EQ(Todos(OrdenProductos::Grupo).first().Codigo, 9);

    Producto a2 = a;
    a2.Nombre = "Ñandú 2";
    ASSERT_TRUE(ModificarProducto(plu, a, a2));
    EXPECT_EQ(LeerProductos(plu, 2, OrdenProductos::Codigo).value(), (QList<Producto>{b, a, a2}));
    ASSERT_TRUE(EliminarProducto(plu, a));
    EXPECT_EQ(LeerProductos(plu, 2, OrdenProductos::Codigo).value(), (QList<Producto>{b, a2}));
    EXPECT_FALSE(EliminarProducto(plu, a));  // no such row any more
    ASSERT_TRUE(AgregarProducto(plu, {7, 8, "it's; \"quoted\"", "", ""}));
    EXPECT_EQ(Todos().last().Nombre, "it's; \"quoted\"");
}

TEST_P(MotoresProductos, AFailedReplacementLeavesTheTableAsItWas) {
    const QList<Producto> antes{{1, 1, "a", "", ""}, {2, 2, "b", "", ""}};
    ASSERT_TRUE(ReemplazarProductos(plu, antes));
    QString error;
    EXPECT_FALSE(ReemplazarProductos(plu, {{3, 3, "c", "", ""}, {4, 9, "fuera", "", ""}}, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(Todos(), antes);
    EXPECT_FALSE(AgregarProducto(plu, {5, 0, "fuera", "", ""}));
}

TEST_P(MotoresProductos, GroupConfigurationInCodigoOrder) {
    const OpcionesCampos leida = Llena_Opciones(setup);
    ASSERT_TRUE(leida.leido);
    EXPECT_EQ(leida.filas, 8);
    EXPECT_EQ(leida.Nombre[0], "G10");
    EXPECT_TRUE(leida.Alfa[0]);  // -1 is yes
    EXPECT_TRUE(leida.Cuit[2]);
    EXPECT_EQ(leida.Letra[0], "");  // null

    OpcionesCampos o = leida;
    o.Nombre[7] = "Señal ocho12X";  // cut to 12
    o.Letra[7] = "Z";
    o.Cuit[2] = false;
    o.Texto[5] = true;
    ASSERT_TRUE(Guarda_Opciones(setup, o));
    const OpcionesCampos l = Llena_Opciones(setup);
    EXPECT_EQ(l.Nombre[7], "Señal ocho12");
    EXPECT_EQ(l.Letra[7], "Z");
    EXPECT_FALSE(l.Cuit[2]);
    EXPECT_TRUE(l.Texto[5]);

    // Fewer than eight rows: only those are read and written.
    Sql("DELETE FROM " + setup.tabla + " WHERE Codigo > 30");
    EXPECT_EQ(Llena_Opciones(setup).filas, 3);
    ASSERT_TRUE(Guarda_Opciones(setup, o));
    EXPECT_EQ(ContarProductos({cadena, setup.tabla}), 3);
}

INSTANTIATE_TEST_SUITE_P(Motores, MotoresProductos, ::testing::Values("SQLite", "PostgreSQL"),
                         [](const auto& info) { return std::string(info.param); });

}  // namespace
