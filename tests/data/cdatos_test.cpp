// The record operations of CDatos on every engine.
#include <gtest/gtest.h>

#include "base/Globales.h"
#include "data/CDatos.h"
#include "settings/Config.h"
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
    QVariant Campo(const char* nombre) { return datos.Registro.Campo(QString::fromLatin1(nombre)); }
    // The current row's values as text, "null" for a null.
    QStringList Valores(std::initializer_list<const char*> columnas) {
        QStringList v;
        for (const char* c : columnas) v << (Campo(c).isNull() ? "null" : Campo(c).toString());
        return v;
    }

    CDatos datos;
};
INSTANCIAR_MOTORES(RegistroEnMotor);

TEST_P(RegistroEnMotor, ExistenciaYCuentaSegunLaConsultaYConsultaNoActualizable) {
    LlenarReporte(10);
    ASSERT_TRUE(datos.BaseAbierta()) << qPrintable(datos.UltimoError());
    datos.AbreRegistro("SELECT * FROM Reporte WHERE Numero > 100");
    EXPECT_FALSE(datos.Existe_Registro());
    EXPECT_EQ(datos.Cant_Registros(), 0);

    datos.AbreRegistro("SELECT * FROM Reporte WHERE Numero > 3 ORDER BY Numero DESC");
    EXPECT_TRUE(datos.Existe_Registro());
    datos.Registro.MoveNext();
    datos.Registro.MoveNext();
    EXPECT_EQ(datos.Cant_Registros(), 7);
    // The count leaves the set on its first row.
    EXPECT_EQ(datos.Registro.Campo("numero").toInt(), 10);
    EXPECT_EQ(datos.Registro.AbsolutePosition(), 1);

    // A query that cannot be written back is read, but refuses changes.
    datos.AbreRegistro("SELECT Lote, COUNT(*) AS n FROM Reporte GROUP BY Lote");
    ASSERT_TRUE(datos.Existe_Registro());
    EXPECT_EQ(Campo("n").toInt(), 10);
    EXPECT_THROW(datos.Registro.AddNew(), ErrorBase);
    EXPECT_THROW(datos.Registro.Delete(), ErrorBase);
}

TEST_P(RegistroEnMotor, RecorreMuevePorPosicionYLlegaAlFinal) {
    // More rows than the cursor keeps at once, so the reads restart and continue.
    const int n = 6000;
    LlenarReporte(n);
    datos.AbreRegistro("SELECT * FROM Reporte ORDER BY Lote,Numero ASC");
    int esperado = 1;
    for (; !datos.Registro.Eof(); datos.Registro.MoveNext(), ++esperado)
        ASSERT_EQ(Numero(), esperado);
    EXPECT_EQ(esperado, n + 1);
    EXPECT_EQ(datos.Registro.AbsolutePosition(), 0);
    EXPECT_THROW(Numero(), ErrorBase);
    EXPECT_THROW(datos.Registro.MoveNext(), ErrorBase);

    datos.Registro.MoveLast();
    EXPECT_EQ(Numero(), n);
    EXPECT_EQ(datos.Registro.AbsolutePosition(), n);
    datos.Registro.MovePrevious();
    EXPECT_EQ(Numero(), n - 1);
    datos.Registro.Move(2500);
    EXPECT_EQ(Valores({"Numero", "Peso", "Codigo1"}), QStringList({"2500", "250", "3500"}));
    EXPECT_EQ(datos.Registro.RecordCount(), n);
    datos.Registro.MoveFirst();
    EXPECT_EQ(Numero(), 1);
}

TEST_P(RegistroEnMotor, AgregaRegistrosSaltaLoQueFallaYGuardaElResto) {
    datos.AbreRegistro("SELECT * FROM Reporte ORDER BY Lote,Numero ASC");
    // Only the first pair.
    datos.AgregaRegistros({{"Lote", 7}});
    // An empty name drops its value; empty and unset values become empty text; an unknown column
    // and a value the column cannot take are skipped, the row is stored anyway.
    datos.AgregaRegistros({{"Lote", 8},
                           {"Numero", 1},
                           {QString(), "ignorado"},
                           {"Fecha", QString()},
                           {"Hora", QVariant()},
                           {"NoExiste", 5},
                           {"Peso", "abc"},
                           {"Codigo1", "42"}});
    datos.AbreRegistro("SELECT * FROM Reporte ORDER BY Lote");
    ASSERT_EQ(datos.Cant_Registros(), 2);
    EXPECT_EQ(Valores({"Lote", "Numero", "Fecha"}), QStringList({"7", "null", "null"}));
    datos.Registro.MoveNext();
    EXPECT_EQ(Valores({"Numero", "Fecha", "Hora", "Peso", "Codigo1"}),
              QStringList({"1", "", "", "null", "42"}));
}

TEST_P(RegistroEnMotor, ClaveDuplicadaSeReconoceYNoQuedaFila) {
    datos.AbreRegistro("SELECT * FROM Reporte ORDER BY Lote,Numero ASC");
    auto agregar = [&](int numero) {
        datos.Registro.AddNew();
        datos.Registro.AsignarCampo("Lote", 3);
        datos.Registro.AsignarCampo("Numero", numero);
        datos.Registro.AsignarCampo("Fecha", "24/12/05");
        datos.Registro.AsignarCampo("Peso", 12.5);
        datos.Registro.Update();
    };
    EXPECT_EQ(Fallo([&] { agregar(1); }), "ok");
    EXPECT_EQ(Fallo([&] { agregar(2); }), "ok");
    EXPECT_EQ(Fallo([&] { agregar(1); }), "duplicada");
    // Other failures are not duplicates.
    EXPECT_EQ(Fallo([&] { datos.Registro.AsignarCampo("NoHayColumna", 1); }), "error");
    CDatos otra;
    otra.AbrirBase(cadena);
    otra.AbreRegistro("SELECT * FROM NoHayTabla");
    EXPECT_EQ(Fallo([&] { otra.Existe_Registro(); }), "error");

    datos.AbreRegistro("SELECT * FROM Reporte");
    EXPECT_EQ(datos.Cant_Registros(), 2);
}

TEST_P(RegistroEnMotor, EditaBorraYSigueEnLaFilaSiguiente) {
    LlenarReporte(5);
    datos.AbreRegistro("SELECT * FROM Reporte ORDER BY Numero");
    datos.Registro.MoveNext();  // Numero 2
    datos.EditaRegistros({{"Fecha", "01/01/06"}, {QString(), 1}, {"Codigo2", 99}});
    datos.Registro.AsignarCampo("Hora", "10:00");
    datos.Registro.Update();
    datos.Registro.MoveNext();  // Numero 3
    datos.Eliminar_Registro();
    EXPECT_THROW(Numero(), ErrorBase);
    datos.Registro.MoveNext();
    EXPECT_EQ(Numero(), 4);

    datos.AbreRegistro("SELECT * FROM Reporte WHERE Numero = 2");
    ASSERT_TRUE(datos.Existe_Registro());
    EXPECT_EQ(Valores({"Fecha", "Hora", "Codigo2"}), QStringList({"01/01/06", "10:00", "99"}));
    datos.AbreRegistro("SELECT * FROM Reporte");
    EXPECT_EQ(datos.Cant_Registros(), 4);

    // A bare table name reads in key order, also after an edit moved the row.
    datos.AbreRegistro("SELECT * FROM Ticket1");
    datos.Registro.AsignarCampo("CAPTION", "Mi empresa");
    datos.Registro.Update();
    datos.AbreRegistro("Ticket1");
    EXPECT_EQ(Campo("CAPTION").toString(), "Mi empresa");
    EXPECT_EQ(datos.Cant_Registros(), 25);
}

TEST_P(RegistroEnMotor, VariablesGlobalesEnLaBase) {
    DataCSGlobal = cadena;
    DataTbGlobal = "Global";
    const QString clave = "O'Brien; DROP TABLE Global; --";
    const auto leer = [&](const QString& k, bool cifrado = false) {
        return LeerConfig("x", k, "def", cifrado, true);
    };
    EXPECT_EQ(leer(clave), "def");
    GuardarConfig("x", clave, "uno", false, true);
    GuardarConfig("x", "otra", 5, false, true);
    EXPECT_EQ(leer(clave), "uno");
    EXPECT_EQ(leer("otra"), "5");
    GuardarConfig("x", clave, "dos", true, true);
    EXPECT_EQ(leer(clave, true), "dos");

    datos.AbreRegistro("SELECT * FROM Global ORDER BY VARIABLE");
    EXPECT_EQ(datos.Cant_Registros(), 2);
    EXPECT_EQ(Valores({"VARIABLE", "DESCRIPCION"}), QStringList({clave, "-"}));
    datos.CerrarBase();

    // No database: the default.
    DataCSGlobal.clear();
    EXPECT_EQ(leer(clave), "def");
}

}  // namespace
