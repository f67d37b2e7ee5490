// The record operations of CDatos on every engine.
#include <gtest/gtest.h>

#include "app/Globales.h"
#include "data/CDatos.h"
#include "settings/Config.h"
#include "tests/data/MotorDatos.h"

namespace {

class RegistroEnMotor : public MotorDatos {};
INSTANCIAR_MOTORES(RegistroEnMotor);

TEST_P(RegistroEnMotor, ExistenciaYCuentaSegunLaConsulta) {
    LlenarReporte(10);
    CDatos datos;
    datos.AbrirBase(cadena);
    ASSERT_TRUE(datos.BaseAbierta()) << qPrintable(datos.UltimoError());

    datos.AbreRegistro(QStringLiteral("SELECT * FROM Reporte WHERE Numero > 100"));
    EXPECT_FALSE(datos.Existe_Registro());
    EXPECT_EQ(datos.Cant_Registros(), 0);

    datos.AbreRegistro(
        QStringLiteral("SELECT * FROM Reporte WHERE Numero > 3 ORDER BY Numero DESC"));
    EXPECT_TRUE(datos.Existe_Registro());
    datos.Registro.MoveNext();
    datos.Registro.MoveNext();
    EXPECT_EQ(datos.Cant_Registros(), 7);
    // The count leaves the set on its first row.
    EXPECT_EQ(datos.Registro.Campo(QStringLiteral("numero")).toInt(), 10);
    EXPECT_EQ(datos.Registro.AbsolutePosition(), 1);
    datos.CierraRegistro();
    datos.CerrarBase();
}

TEST_P(RegistroEnMotor, RecorreMuevePorPosicionYLlegaAlFinal) {
    // More rows than the cursor keeps at once, so the reads restart and continue.
    const int n = 6000;
    LlenarReporte(n);
    CDatos datos;
    datos.AbrirBase(cadena);
    datos.AbreRegistro(QStringLiteral("SELECT * FROM Reporte ORDER BY Lote,Numero ASC"));
    int esperado = 1;
    for (; !datos.Registro.Eof(); datos.Registro.MoveNext(), ++esperado) {
        ASSERT_EQ(datos.Registro.Campo(QStringLiteral("Numero")).toInt(), esperado);
    }
    EXPECT_EQ(esperado, n + 1);
    EXPECT_EQ(datos.Registro.AbsolutePosition(), 0);
    EXPECT_THROW(datos.Registro.Campo(QStringLiteral("Numero")), ErrorBase);
    EXPECT_THROW(datos.Registro.MoveNext(), ErrorBase);

    datos.Registro.MoveLast();
    EXPECT_EQ(datos.Registro.Campo(QStringLiteral("Numero")).toInt(), n);
    EXPECT_EQ(datos.Registro.AbsolutePosition(), n);
    datos.Registro.MovePrevious();
    EXPECT_EQ(datos.Registro.Campo(QStringLiteral("Numero")).toInt(), n - 1);
    datos.Registro.Move(2500);
    EXPECT_EQ(datos.Registro.Campo(QStringLiteral("Numero")).toInt(), 2500);
    EXPECT_DOUBLE_EQ(datos.Registro.Campo(QStringLiteral("Peso")).toDouble(), 250.0);
    EXPECT_EQ(datos.Registro.RecordCount(), n);
    datos.Registro.MoveFirst();
    EXPECT_EQ(datos.Registro.Campo(QStringLiteral("Numero")).toInt(), 1);
}

TEST_P(RegistroEnMotor, AgregaRegistrosSaltaLoQueFallaYGuardaElResto) {
    CDatos datos;
    datos.AbrirBase(cadena);
    datos.AbreRegistro(QStringLiteral("SELECT * FROM Reporte ORDER BY Lote,Numero ASC"));
    // Only the first pair.
    datos.AgregaRegistros({{QStringLiteral("Lote"), 7}});
    // An empty name drops its value; empty and unset values become empty text; an unknown column
    // and a value the column cannot take are skipped, the row is stored anyway.
    datos.AgregaRegistros({{QStringLiteral("Lote"), 8},
                           {QStringLiteral("Numero"), 1},
                           {QString(), QStringLiteral("ignorado")},
                           {QStringLiteral("Fecha"), QString()},
                           {QStringLiteral("Hora"), QVariant()},
                           {QStringLiteral("NoExiste"), 5},
                           {QStringLiteral("Peso"), QStringLiteral("abc")},
                           {QStringLiteral("Codigo1"), QStringLiteral("42")}});
    datos.CierraRegistro();

    datos.AbreRegistro(QStringLiteral("SELECT * FROM Reporte ORDER BY Lote"));
    ASSERT_EQ(datos.Cant_Registros(), 2);
    EXPECT_EQ(datos.Registro.Campo(QStringLiteral("Lote")).toInt(), 7);
    EXPECT_TRUE(datos.Registro.Campo(QStringLiteral("Numero")).isNull());
    EXPECT_TRUE(datos.Registro.Campo(QStringLiteral("Fecha")).isNull());
    datos.Registro.MoveNext();
    EXPECT_EQ(datos.Registro.Campo(QStringLiteral("Numero")).toInt(), 1);
    const QVariant fecha = datos.Registro.Campo(QStringLiteral("Fecha"));
    EXPECT_FALSE(fecha.isNull());
    EXPECT_EQ(fecha.toString(), QString());
    EXPECT_FALSE(datos.Registro.Campo(QStringLiteral("Hora")).isNull());
    EXPECT_TRUE(datos.Registro.Campo(QStringLiteral("Peso")).isNull());
    EXPECT_EQ(datos.Registro.Campo(QStringLiteral("Codigo1")).toInt(), 42);
}

TEST_P(RegistroEnMotor, ClaveDuplicadaSeReconoceYNoQuedaFila) {
    CDatos datos;
    datos.AbrirBase(cadena);
    datos.AbreRegistro(QStringLiteral("SELECT * FROM Reporte ORDER BY Lote,Numero ASC"));
    auto agregar = [&](int numero) {
        datos.Registro.AddNew();
        datos.Registro.AsignarCampo(QStringLiteral("Lote"), 3);
        datos.Registro.AsignarCampo(QStringLiteral("Numero"), numero);
        datos.Registro.AsignarCampo(QStringLiteral("Fecha"), QStringLiteral("24/12/05"));
        datos.Registro.AsignarCampo(QStringLiteral("Peso"), 12.5);
        datos.Registro.Update();
    };
    agregar(1);
    agregar(2);
    try {
        agregar(1);
        FAIL() << "a duplicate (Lote, Numero) was accepted";
    } catch (const ErrorBase& e) {
        EXPECT_TRUE(e.esClaveDuplicada()) << qPrintable(e.descripcion());
    }
    // The same key in the global variables table.
    CDatos global;
    global.AbrirBase(cadena);
    global.AbreRegistro(QStringLiteral("SELECT * FROM Global"));
    global.AgregaRegistros({{QStringLiteral("VARIABLE"), QStringLiteral("k")}});
    global.Registro.AddNew();
    global.Registro.AsignarCampo(QStringLiteral("VARIABLE"), QStringLiteral("k"));
    try {
        global.Registro.Update();
        FAIL() << "a duplicate primary key was accepted";
    } catch (const ErrorBase& e) {
        EXPECT_TRUE(e.esClaveDuplicada());
    }
    // Other failures are not duplicates.
    CDatos otra;
    otra.AbrirBase(cadena);
    otra.AbreRegistro(QStringLiteral("SELECT * FROM NoHayTabla"));
    try {
        otra.Existe_Registro();
        FAIL() << "a missing table was not reported";
    } catch (const ErrorBase& e) {
        EXPECT_FALSE(e.esClaveDuplicada());
    }
    try {
        datos.Registro.AsignarCampo(QStringLiteral("NoHayColumna"), 1);
        FAIL();
    } catch (const ErrorBase& e) {
        EXPECT_FALSE(e.esClaveDuplicada());
    }
    datos.AbreRegistro(QStringLiteral("SELECT * FROM Reporte"));
    EXPECT_EQ(datos.Cant_Registros(), 2);
}

TEST_P(RegistroEnMotor, EditaBorraYSigueEnLaFilaSiguiente) {
    LlenarReporte(5);
    CDatos datos;
    datos.AbrirBase(cadena);
    datos.AbreRegistro(QStringLiteral("SELECT * FROM Reporte ORDER BY Numero"));
    datos.Registro.MoveNext();  // Numero 2
    datos.EditaRegistros({{QStringLiteral("Fecha"), QStringLiteral("01/01/06")},
                          {QString(), 1},
                          {QStringLiteral("Codigo2"), 99}});
    datos.Registro.AsignarCampo(QStringLiteral("Hora"), QStringLiteral("10:00"));
    datos.Registro.Update();
    datos.Registro.MoveNext();  // Numero 3
    datos.Eliminar_Registro();
    EXPECT_THROW(datos.Registro.Campo(QStringLiteral("Numero")), ErrorBase);
    datos.Registro.MoveNext();
    EXPECT_EQ(datos.Registro.Campo(QStringLiteral("Numero")).toInt(), 4);

    datos.AbreRegistro(QStringLiteral("SELECT * FROM Reporte WHERE Numero = 2"));
    ASSERT_TRUE(datos.Existe_Registro());
    EXPECT_EQ(datos.Registro.Campo(QStringLiteral("Fecha")).toString(), QStringLiteral("01/01/06"));
    EXPECT_EQ(datos.Registro.Campo(QStringLiteral("Hora")).toString(), QStringLiteral("10:00"));
    EXPECT_EQ(datos.Registro.Campo(QStringLiteral("Codigo2")).toInt(), 99);
    datos.AbreRegistro(QStringLiteral("SELECT * FROM Reporte"));
    EXPECT_EQ(datos.Cant_Registros(), 4);

    // Deleting every row the way the report does it.
    datos.AbreRegistro(QStringLiteral("SELECT * FROM Reporte ORDER BY lote,numero ASC"));
    while (!datos.Registro.Eof()) {
        datos.Registro.Delete();
        datos.Registro.MoveNext();
    }
    datos.AbreRegistro(QStringLiteral("SELECT * FROM Reporte"));
    EXPECT_EQ(datos.Cant_Registros(), 0);
}

TEST_P(RegistroEnMotor, LasFilasDelTicketConservanSuOrdenTrasEditarlas) {
    CDatos datos;
    datos.AbrirBase(cadena);
    datos.AbreRegistro(QStringLiteral("SELECT * FROM Ticket1"));
    ASSERT_EQ(datos.Cant_Registros(), 25);
    datos.Registro.AsignarCampo(QStringLiteral("CAPTION"), QStringLiteral("Mi empresa"));
    datos.Registro.Update();
    datos.AbreRegistro(QStringLiteral("Ticket1"));
    EXPECT_EQ(datos.Registro.Campo(QStringLiteral("CAPTION")).toString(),
              QStringLiteral("Mi empresa"));
    datos.Registro.MoveNext();
    EXPECT_EQ(datos.Registro.Campo(QStringLiteral("FILA")).toInt(), 2);
}

TEST_P(RegistroEnMotor, ConsultaNoActualizableSeLeePeroNoSeEscribe) {
    LlenarReporte(3);
    CDatos datos;
    datos.AbrirBase(cadena);
    datos.AbreRegistro(QStringLiteral("SELECT Lote, COUNT(*) AS n FROM Reporte GROUP BY Lote"));
    ASSERT_TRUE(datos.Existe_Registro());
    EXPECT_EQ(datos.Registro.Campo(QStringLiteral("n")).toInt(), 3);
    EXPECT_THROW(datos.Registro.AddNew(), ErrorBase);
    EXPECT_THROW(datos.Registro.Delete(), ErrorBase);
}

TEST_P(RegistroEnMotor, VariablesGlobalesEnLaBase) {
    DataCSGlobal = cadena;
    DataTbGlobal = QStringLiteral("Global");
    const QString clave = QStringLiteral("O'Brien; DROP TABLE Global; --");
    EXPECT_EQ(LeerConfig(QStringLiteral("x"), clave, QStringLiteral("def"), false, true),
              QStringLiteral("def"));
    GuardarConfig(QStringLiteral("x"), clave, QStringLiteral("uno"), false, true);
    GuardarConfig(QStringLiteral("x"), QStringLiteral("otra"), 5, false, true);
    EXPECT_EQ(LeerConfig(QStringLiteral("x"), clave, QStringLiteral("def"), false, true),
              QStringLiteral("uno"));
    GuardarConfig(QStringLiteral("x"), clave, QStringLiteral("dos"), true, true);
    EXPECT_EQ(LeerConfig(QStringLiteral("x"), clave, QStringLiteral("def"), true, true),
              QStringLiteral("dos"));
    EXPECT_EQ(LeerConfig(QStringLiteral("x"), QStringLiteral("otra"), QString(), false, true),
              QStringLiteral("5"));

    CDatos datos;
    datos.AbrirBase(cadena);
    datos.AbreRegistro(QStringLiteral("SELECT * FROM Global ORDER BY VARIABLE"));
    ASSERT_EQ(datos.Cant_Registros(), 2);
    EXPECT_EQ(datos.Registro.Campo(QStringLiteral("VARIABLE")).toString(), clave);
    EXPECT_EQ(datos.Registro.Campo(QStringLiteral("DESCRIPCION")).toString(), QStringLiteral("-"));
    datos.CerrarBase();

    // No database: the default, and a write is dropped silently.
    DataCSGlobal.clear();
    EXPECT_EQ(LeerConfig(QStringLiteral("x"), clave, QStringLiteral("def"), false, true),
              QStringLiteral("def"));
    GuardarConfig(QStringLiteral("x"), clave, QStringLiteral("tres"), false, true);
}

}  // namespace
