// Connection strings and bad input on SQLite: what opens, what is refused, and that a failed
// write never leaves a row behind.

#include <QSqlDatabase>
#include <QSqlQuery>

#include "data/Conexion.h"
#include "tests/data/MotorDatos.h"
#include "tests/support/InteraccionGuion.h"

namespace {

TEST(CadenaConexion, ClavesConocidasRutasRelativasYLoQueNoSePuedeUsar) {
    CarpetaTemporal carpeta;
    carpeta.escribir("Datos.DB", QByteArray());
    // driver|file in the data folder|host|port|database|user|password|read-only|timeout
    const QList<std::pair<QString, QString>> casos = {
        // A bare name matches the data folder's file without regard to case.
        {"Driver=QSQLITE;Data Source=datos.db;", "QSQLITE|Datos.DB||-1||||0|5000"},
        {" data source = sub/x.db ; mode=Read", "QSQLITE|sub/x.db||-1||||1|5000"},
        {"Driver=QPSQL;Host=127.0.0.1;Port=5433;Database=b;User=u;Password=\"a;b=c\";Timeout=3000;",
         "QPSQL||127.0.0.1|5433|b|u|a;b=c|0|3000"},
    };
    for (const auto& [cadena, esperado] : casos) {
        QString error;
        const auto c = AnalizarCadenaConexion(cadena, &error);
        ASSERT_TRUE(c) << qPrintable(cadena + " -> " + error);
        const QString archivo =
            c->archivo.isEmpty() ? QString() : QDir(carpeta.ruta()).relativeFilePath(c->archivo);
        EXPECT_EQ(QStringList({c->driver, archivo, c->host, QString::number(c->puerto), c->base,
                               c->usuario, c->clave, QString::number(c->soloLectura),
                               QString::number(c->esperaMs)})
                      .join(u'|'),
                  esperado);
    }
    // What cannot be used is refused with a reason naming it.
    for (const auto& [cadena, motivo] : QList<std::pair<QString, QString>>{
             {"Provider=Microsoft.Jet.OLEDB.4.0;Data Source=datos.mdb;", "importar-mdb"},
             {"Driver=QSQLITE;Data Source=a.db;Colour=red;", "Colour"},
             {"Driver=QMYSQL;Data Source=a.db;", "QMYSQL"}}) {
        QString error;
        EXPECT_FALSE(AnalizarCadenaConexion(cadena, &error).has_value()) << qPrintable(cadena);
        EXPECT_TRUE(error.contains(motivo)) << qPrintable(cadena + " -> " + error);
    }
}

class BaseSqlite : public MotorDatos {
  protected:
    int Filas() {
        CDatos datos;
        datos.AbrirBase(cadena);
        datos.AbreRegistro("SELECT * FROM Reporte");
        return datos.Cant_Registros();
    }
    void Agregar(int lote) {
        CDatos datos;
        datos.AbrirBase(cadena);
        datos.AbreRegistro("SELECT * FROM Reporte");
        datos.AgregaRegistros({{"Lote", lote}, {"Numero", 1}});
    }
};
INSTANTIATE_TEST_SUITE_P(Motor, BaseSqlite, ::testing::Values(QStringLiteral("SQLite")),
                         [](const auto& info) { return info.param.toStdString(); });

TEST_P(BaseSqlite, ArchivoFaltanteNoBaseOColumnaFaltanteFallan) {
    CDatos datos;
    datos.AbrirBase("Driver=QSQLITE;Data Source=no-existe.db;");
    EXPECT_FALSE(datos.BaseAbierta());
    EXPECT_FALSE(QFile::exists(carpeta.ruta("no-existe.db")));
    datos.AbreRegistro("SELECT * FROM Reporte");
    EXPECT_THROW(datos.Existe_Registro(), ErrorBase);
    carpeta.escribir("texto.db", QByteArray(4096, 'x'));
    datos.AbrirBase("Driver=QSQLITE;Data Source=texto.db;");
    EXPECT_FALSE(datos.BaseAbierta());
    datos.AbrirBase(cadena);
    datos.AbreRegistro("SELECT Lote, NoHay FROM Reporte");
    EXPECT_THROW(datos.Existe_Registro(), ErrorBase);
}

TEST_P(BaseSqlite, BaseDeSoloLecturaOBloqueadaNoGuardaNada) {
    const auto guardar = [&](const char* opcion) {
        CDatos datos;
        datos.AbrirBase(cadena + opcion);
        datos.AbreRegistro("SELECT * FROM Reporte");
        datos.Registro.AddNew();
        datos.Registro.AsignarCampo("Lote", 2);
        return Fallo([&] { datos.Registro.Update(); });
    };
    EXPECT_EQ(guardar("Mode=Read;"), "error");
    // Another connection holds the write lock.
    const QString nombre = NuevoNombreConexion();
    ASSERT_TRUE(AbrirConexion(nombre, cadena, false, nullptr));
    {
        QSqlQuery bloqueo(QSqlDatabase::database(nombre, false));
        ASSERT_TRUE(bloqueo.exec("BEGIN EXCLUSIVE"));
        EXPECT_EQ(guardar("Timeout=50;"), "error");
        EXPECT_TRUE(bloqueo.exec("COMMIT"));
    }
    CerrarConexion(nombre);
    EXPECT_EQ(Filas(), 0);
}

TEST_P(BaseSqlite, CompactarConservaLosDatosYReemplazaLaBase) {
    LlenarReporte(50);
    Agregar(3);  // the thread's connection is open on the file to be replaced
    InteraccionGuion operador;
    CDatos().CompactaryReparar(carpeta.ruta("datos.db"), &operador);
    EXPECT_TRUE(operador.mensajes.isEmpty()) << qPrintable(operador.textos().join(u'|'));
    // Rows written afterwards go to the compacted file, not to the one it replaced.
    Agregar(2);
    CerrarConexionesDelHilo();
    EXPECT_EQ(Filas(), 52);
}

}  // namespace
