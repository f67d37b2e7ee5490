// The editable table model and the row key on every engine: edits land on their row whatever
// else changed it, values never change the statement, failures come back as text, and a
// transaction is all or nothing.

#include <QSignalSpy>
#include <QSqlQuery>
#include <stdexcept>

#include "data/Conexion.h"
#include "data/ModeloTabla.h"
#include "tests/data/MotorDatos.h"

namespace {

const QString kMaligno = QStringLiteral("O'Brien\"; DROP TABLE PLU; --");
const QString kCorto = QStringLiteral("a';--\"");  // fits a date column

class ModeloEnMotor : public MotorDatos {
  protected:
    TablaDatos Tabla(const char* nombre) { return {cadena, QString::fromLatin1(nombre)}; }
    qint64 Cuenta(const QString& tabla, const QString& condicion = QStringLiteral("1=1")) {
        return Valor(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2").arg(tabla, condicion))
            .toLongLong();
    }
    // Column `columna` of every row shown, in order.
    static QStringList Columna(const ModeloTabla& m, const char* columna) {
        QStringList v;
        for (int f = 0; f < m.rowCount(); ++f)
            v << m.Valor(f, QString::fromLatin1(columna)).toString();
        return v;
    }
};
INSTANCIAR_MOTORES(ModeloEnMotor);

TEST_P(ModeloEnMotor, FiltraOrdenaEditaAgregaYBorraPorClave) {
    ModeloTabla m;
    ASSERT_TRUE(m.Abrir(Tabla("PLU"), "Grupo = ? AND Nombre <> ?", {2, kMaligno}, {"Codigo DESC"}))
        << qPrintable(m.Error());
    const auto a = m.Agregar({{"Codigo", 1}, {"Grupo", 2}, {"Nombre", "uno"}});
    const auto b = m.Agregar({{"Codigo", 2}, {"Grupo", 2}, {"Nombre", "dos"}});
    const auto c = m.Agregar({{"Codigo", 3}, {"Grupo", 3}, {"Nombre", "otro grupo"}});
    ASSERT_TRUE(a && b && c) << qPrintable(m.Error());
    EXPECT_EQ(Columna(m, "Codigo"), QStringList({"2", "1"}));
    EXPECT_EQ(m.FilaDeId(*a), 1);

    // A text that would end the statement is stored as it is, and the row then leaves the filter.
    ASSERT_TRUE(m.setData(m.index(0, m.Columna("Nombre")), kMaligno)) << qPrintable(m.Error());
    EXPECT_EQ(Columna(m, "Codigo"), QStringList({"1"}));
    EXPECT_EQ(
        Cuenta("PLU", "Codigo = 2 AND Nombre = '" + QString(kMaligno).replace("'", "''") + "'"), 1);
    ASSERT_TRUE(m.removeRows(0, 1));
    EXPECT_EQ(Cuenta("PLU"), 2);  // the rows outside the filter stay
    // A whole-table replace happens through the filter too: only its rows go.
    Sql("INSERT INTO PLU (Codigo, Grupo, Nombre) VALUES (4, 2, 'cuatro')");
    m.Refrescar();
    EXPECT_TRUE(m.BorrarTodas());
    EXPECT_EQ(Cuenta("PLU"), 2);
}

TEST_P(ModeloEnMotor, LoQueElMotorRechazaVuelveComoTextoYNoCambiaNada) {
    ModeloTabla m;
    ASSERT_TRUE(m.Abrir(Tabla("Global"), QString(), {}, {"VARIABLE"}));
    QSignalSpy fallos(&m, &ModeloTabla::Fallo);
    ASSERT_TRUE(m.Agregar({{"VARIABLE", "k"}, {"VALOR", "1"}}));
    // Each refused change: the engine's or the model's reason, the table as it was.
    EXPECT_FALSE(m.Agregar({{"VARIABLE", "k"}}));  // unique rule
    EXPECT_FALSE(m.Cambiar(5, "VALOR", 1));
    EXPECT_FALSE(m.Cambiar(0, "Id", 99));
    EXPECT_EQ(fallos.count(), 3);
    EXPECT_FALSE(m.Error().isEmpty());
    EXPECT_EQ(Valor("SELECT VALOR FROM Global").toString(), "1");

    // The row went away under the model: the edit says so instead of touching another row.
    Sql("DELETE FROM Global");
    Sql("INSERT INTO Global (VARIABLE, VALOR) VALUES ('nueva', 'x')");
    EXPECT_FALSE(m.Cambiar(0, "VALOR", "2"));
    EXPECT_EQ(Valor("SELECT VALOR FROM Global").toString(), "x");
    EXPECT_FALSE(m.Abrir(Tabla("NoHayTabla")));
}

TEST_P(ModeloEnMotor, TransaccionEsTodoONada) {
    ModeloTabla m;
    ASSERT_TRUE(m.Abrir(Tabla("Recetas"), QString(), {}, {"Receta"}));
    ASSERT_EQ(m.rowCount(), 5);
    auto reemplazar = [&](int recetas) {
        if (!m.BorrarTodas()) return false;
        for (int r = 1; r <= recetas; ++r) {
            if (!m.Agregar({{"Receta", r}, {"Ingrediente1", r * 1.5}})) return false;
        }
        return true;
    };
    // Rolled back: a step fails half way, a step throws.
    EXPECT_FALSE(m.transaccion([&] {
        return reemplazar(2) && m.Agregar({{"Receta", 1}}) && m.Agregar({{"Receta", 1}});
    }));
    EXPECT_FALSE(m.transaccion([&]() -> bool {
        reemplazar(1);
        throw std::runtime_error("sin lugar");
    }));
    EXPECT_EQ(m.Error(), "sin lugar");
    EXPECT_EQ(Cuenta("Recetas"), 5);
    EXPECT_EQ(m.rowCount(), 5);

    EXPECT_TRUE(m.transaccion([&] { return reemplazar(2); })) << qPrintable(m.Error());
    EXPECT_EQ(Columna(m, "Ingrediente1"), QStringList({"1.5", "3"}));
    // The connection is usable outside a transaction again.
    EXPECT_TRUE(m.Cambiar(0, "Ingrediente2", 4));
    EXPECT_EQ(Cuenta("Recetas", "Ingrediente2 = 4"), 1);
}

TEST_P(ModeloEnMotor, LaClaveSobreviveCambiosAjenosYNoSeReutiliza) {
    LlenarReporte(3);
    CDatos datos;
    datos.AbrirBase(cadena);
    datos.AbreRegistro("SELECT * FROM Reporte WHERE Numero = ? OR Fecha = ?", {2, kCorto});
    ASSERT_EQ(datos.Cant_Registros(), 1);
    // Another program changes the same row (PostgreSQL moves a row on every UPDATE).
    Sql("UPDATE Reporte SET Hora = '10:00' WHERE Numero = 2");
    Sql("UPDATE Reporte SET Codigo2 = 5 WHERE Numero = 2");
    datos.EditaRegistros({{"Fecha", kCorto}});
    datos.EditaRegistros({{"Peso", 7}});
    EXPECT_EQ(Cuenta("Reporte", "Numero = 2 AND Peso = 7 AND Hora = '10:00'"), 1);
    EXPECT_EQ(Cuenta("Reporte", "Peso = 7"), 1);
    EXPECT_EQ(Valor("SELECT Fecha FROM Reporte WHERE Numero = 2").toString(), kCorto);

    // The last row is deleted and a new one appended elsewhere: a deletion from the stale set
    // must not take the newcomer (SQLite hands out a freed rowid again).
    datos.AbreRegistro("SELECT * FROM Reporte WHERE Numero = ?", {3});
    ASSERT_TRUE(datos.Existe_Registro());
    Sql("DELETE FROM Reporte WHERE Numero = 3");
    Sql("INSERT INTO Reporte (Lote, Numero) VALUES (2, 99)");
    EXPECT_EQ(Fallo([&] { datos.Registro.Delete(); }), "error");
    EXPECT_EQ(Cuenta("Reporte", "Numero = 99"), 1);

    // A table from before the key takes new rows (a download into an old database works) but
    // refuses to change stored ones.
    Sql("CREATE TABLE prueba (a INTEGER)");
    Sql("INSERT INTO prueba (a) VALUES (1)");
    datos.AbreRegistro("SELECT * FROM prueba");
    datos.AgregaRegistros({{"a", 2}});
    EXPECT_EQ(Cuenta("prueba", "a = 2"), 1);
    datos.Registro.MoveFirst();
    EXPECT_EQ(Fallo([&] { datos.Registro.AsignarCampo("a", 3); }), "error");
    EXPECT_EQ(Fallo([&] { datos.Registro.Delete(); }), "error");
    EXPECT_EQ(Cuenta("prueba"), 2);
}

// The server ends the thread's connection: the next use opens a new one.
TEST_P(ModeloEnMotor, LaConexionDelHiloVuelveSiElServidorLaCorta) {
    if (!EsPostgres()) GTEST_SKIP() << "a server connection only";
    QString pid;
    {
        QSqlQuery q(ConexionPara(cadena));
        ASSERT_TRUE(q.exec("SELECT pg_backend_pid()") && q.next());
        pid = q.value(0).toString();
    }
    Sql("SELECT pg_terminate_backend(" + pid + ")");
    ModeloTabla m;
    ASSERT_TRUE(m.Abrir(Tabla("Recetas"))) << qPrintable(m.Error());
    EXPECT_EQ(m.rowCount(), 5);
    EXPECT_TRUE(m.Cambiar(0, "Ingrediente1", 2));
}

}  // namespace
