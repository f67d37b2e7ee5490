// The record operations of CDatos on every engine.

#include "tests/data/MotorDatos.h"

namespace {

class RegistroEnMotor : public MotorDatos {
  protected:
    void SetUp() override {
        MotorDatos::SetUp();
        if (!IsSkipped() && !HasFatalFailure()) datos.AbrirBase(cadena);
    }
    void TearDown() override {
        datos.CerrarBase();  // before the tables are dropped
        MotorDatos::TearDown();
    }
    int Numero() { return datos.Registro.Campo("Numero").toInt(); }
    // The current row's values as text, "null" for a null.
    QStringList Valores(std::initializer_list<const char*> columnas) {
        QStringList v;
        for (const char* c : columnas) {
            const QVariant x = datos.Registro.Campo(QString::fromLatin1(c));
            v << (x.isNull() ? "null" : x.toString());
        }
        return v;
    }

    CDatos datos;
};
INSTANCIAR_MOTORES(RegistroEnMotor);

TEST_P(RegistroEnMotor, RecorreCuentaYMuevePorPosicion) {
    // More rows than the cursor keeps at once, so the reads restart and continue.
    const int n = 6000;
    LlenarReporte(n);
    datos.AbreRegistro("SELECT * FROM Reporte WHERE Numero > 100000");
    EXPECT_FALSE(datos.Existe_Registro());
    datos.AbreRegistro("SELECT * FROM Reporte ORDER BY Lote,Numero ASC");
    int esperado = 1;
    for (; !datos.Registro.Eof(); datos.Registro.MoveNext(), ++esperado)
        ASSERT_EQ(Numero(), esperado);
    EXPECT_EQ(esperado, n + 1);
    EXPECT_THROW(Numero(), ErrorBase);

    datos.Registro.MoveLast();
    EXPECT_EQ(datos.Registro.AbsolutePosition(), n);
    datos.Registro.MovePrevious();
    EXPECT_EQ(Numero(), n - 1);
    datos.Registro.Move(2500);
    EXPECT_EQ(Valores({"Numero", "Peso", "Codigo1"}), QStringList({"2500", "250", "3500"}));
    // The count leaves the set on its first row.
    EXPECT_EQ(datos.Cant_Registros(), n);
    EXPECT_EQ(Numero(), 1);

    // A query that cannot be written back is read, but refuses changes.
    datos.AbreRegistro("SELECT Lote, COUNT(*) AS n FROM Reporte GROUP BY Lote");
    EXPECT_EQ(Valores({"n"}), QStringList({QString::number(n)}));
    EXPECT_THROW(datos.Registro.AddNew(), ErrorBase);
    EXPECT_THROW(datos.Registro.Delete(), ErrorBase);
}

TEST_P(RegistroEnMotor, AgregaEditaYBorraYReconoceLaClaveDuplicada) {
    LlenarReporte(5);
    datos.AbreRegistro("SELECT * FROM Reporte ORDER BY Lote,Numero ASC");
    // An unknown column and a value the column cannot take are skipped, the row stored anyway.
    datos.AgregaRegistros({{"Lote", 8}, {"Numero", 1}, {"NoExiste", 5}, {"Peso", "abc"}});
    EXPECT_EQ(Fallo([&] { datos.AgregaRegistros({{"Lote", 8}, {"Numero", 1}}); }), "ok");
    datos.Registro.AddNew();
    datos.Registro.AsignarCampo("Lote", 8);
    datos.Registro.AsignarCampo("Numero", 1);
    EXPECT_EQ(Fallo([&] { datos.Registro.Update(); }), "duplicada");
    EXPECT_EQ(Fallo([&] { datos.Registro.AsignarCampo("NoHayColumna", 1); }), "error");
    datos.AbreRegistro("SELECT * FROM Reporte WHERE Lote = 8");
    EXPECT_EQ(datos.Cant_Registros(), 1);
    EXPECT_EQ(Valores({"Numero", "Peso"}), QStringList({"1", "null"}));

    datos.AbreRegistro("SELECT * FROM Reporte WHERE Lote = 1 ORDER BY Numero");
    datos.Registro.MoveNext();  // Numero 2
    datos.EditaRegistros({{"Fecha", "01/01/06"}, {"Codigo2", 99}});
    datos.Registro.MoveNext();  // Numero 3
    datos.Eliminar_Registro();
    datos.Registro.MoveNext();
    EXPECT_EQ(Numero(), 4);
    datos.AbreRegistro("SELECT * FROM Reporte WHERE Lote = 1 AND Numero <= 3");
    EXPECT_EQ(datos.Cant_Registros(), 2);
    datos.Registro.MoveNext();
    EXPECT_EQ(Valores({"Fecha", "Codigo2"}), QStringList({"01/01/06", "99"}));

    // A bare table name reads in key order, also after an edit moved the row.
    datos.AbreRegistro("SELECT * FROM Ticket1");
    datos.Registro.AsignarCampo("CAPTION", "Mi empresa");
    datos.Registro.Update();
    datos.AbreRegistro("Ticket1");
    EXPECT_EQ(Valores({"CAPTION"}), QStringList({"Mi empresa"}));
}

}  // namespace
