// Connection strings and bad input on SQLite: what opens, what is refused, and that a failed
// write never leaves a row behind.
#include <gtest/gtest.h>

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTime>

#include "data/CDatos.h"
#include "data/Conexion.h"
#include "data/ModeloTabla.h"
#include "data/Provision.h"
#include "tests/data/MotorDatos.h"
#include "tests/support/InteraccionGuion.h"

namespace {

TEST(CadenaConexion, ClavesConocidasYRutasRelativas) {
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
}

TEST(CadenaConexion, LoQueNoSePuedeUsarSeRechazaConUnMotivo) {
    // Each bad string, and a word its reason must contain.
    const QList<std::pair<QString, QString>> malas = {
        {"Provider=Microsoft.Jet.OLEDB.4.0;Data Source=C:\\Bascora\\datos.mdb;", "importar-mdb"},
        {"Driver=QSQLITE;Data Source=a.db;Colour=red;", "Colour"},
        {"Driver=QMYSQL;Data Source=a.db;", ""},
        {"Driver=QPSQL;Host=127.0.0.1;", ""},
        {"Driver=QSQLITE;Host=127.0.0.1;Data Source=a.db", ""},
        {"Driver=QPSQL;Database=b;Port=99999", ""},
        {"Data Source", ""},
    };
    for (const auto& [cadena, motivo] : malas) {
        QString error;
        EXPECT_FALSE(AnalizarCadenaConexion(cadena, &error).has_value()) << qPrintable(cadena);
        EXPECT_FALSE(error.isEmpty()) << qPrintable(cadena);
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
};
INSTANTIATE_TEST_SUITE_P(Motor, BaseSqlite, ::testing::Values(QStringLiteral("SQLite")),
                         [](const auto& info) { return info.param.toStdString(); });

TEST_P(BaseSqlite, ArchivoFaltanteNoBaseOColumnaFaltanteFallan) {
    CDatos datos;
    datos.AbrirBase("Driver=QSQLITE;Data Source=no-existe.db;");
    EXPECT_FALSE(datos.BaseAbierta());
    EXPECT_FALSE(QFile::exists(carpeta.ruta("no-existe.db")));
    datos.AbreRegistro("SELECT * FROM Reporte");
    EXPECT_FALSE(datos.Registro.Abierto());
    EXPECT_THROW(datos.Existe_Registro(), ErrorBase);
    EXPECT_EQ(datos.Cant_Registros(), 0);
    datos.AgregaRegistros({{"Lote", 1}});  // silent

    carpeta.escribir("texto.db", QByteArray(4096, 'x'));
    datos.AbrirBase("Driver=QSQLITE;Data Source=texto.db;");
    EXPECT_FALSE(datos.BaseAbierta());
    EXPECT_FALSE(datos.UltimoError().isEmpty());

    datos.AbrirBase(cadena);
    datos.AbreRegistro("SELECT Lote, NoHay FROM Reporte");
    EXPECT_THROW(datos.Existe_Registro(), ErrorBase);
    EXPECT_EQ(Filas(), 0);
}

TEST_P(BaseSqlite, BaseDeSoloLecturaOBloqueadaNoGuardaNada) {
    CDatos lectura;
    lectura.AbrirBase(cadena + "Mode=Read;");
    ASSERT_TRUE(lectura.BaseAbierta()) << qPrintable(lectura.UltimoError());
    lectura.AbreRegistro("SELECT * FROM Reporte");
    lectura.AgregaRegistros({{"Lote", 1}, {"Numero", 1}});
    lectura.Registro.AddNew();
    lectura.Registro.AsignarCampo("Lote", 2);
    EXPECT_EQ(Fallo([&] { lectura.Registro.Update(); }), "error");

    // Another connection holds the write lock.
    const QString nombre = NuevoNombreConexion();
    ASSERT_TRUE(AbrirConexion(nombre, cadena, false, nullptr));
    {
        QSqlQuery bloqueo(QSqlDatabase::database(nombre, false));
        ASSERT_TRUE(bloqueo.exec("BEGIN EXCLUSIVE"));
        CDatos datos;
        datos.AbrirBase(cadena + "Timeout=50;");
        datos.AbreRegistro("SELECT * FROM Reporte");
        datos.Registro.AddNew();
        datos.Registro.AsignarCampo("Lote", 3);
        EXPECT_THROW(
            {
                datos.Registro.AsignarCampo("Peso", 3);
                datos.Registro.Update();
            },
            ErrorBase);
        datos.AgregaRegistros({{"Lote", 4}});
        datos.CerrarBase();
        EXPECT_TRUE(bloqueo.exec("COMMIT"));
    }
    CerrarConexion(nombre);
    EXPECT_EQ(Filas(), 0);
}

TEST_P(BaseSqlite, CompactarConservaLosDatosYReemplazaLaBase) {
    {
        CDatos datos;
        datos.AbrirBase(cadena);
        datos.AbreRegistro("SELECT * FROM Reporte");
        for (int i = 1; i <= 50; ++i) datos.AgregaRegistros({{"Lote", 1}, {"Numero", i}});
    }
    // A leftover temporary file of the same name is deleted first (both seconds the run may
    // fall in are covered).
    const QTime ahora = QTime::currentTime();
    for (const QTime& t : {ahora, ahora.addSecs(1)})
        carpeta.escribir(QStringLiteral("DBT_%1.db").arg(t.toString("mmss")), "x");
    InteraccionGuion operador;
    CDatos().CompactaryReparar(carpeta.ruta("datos.db"), &operador);
    EXPECT_TRUE(operador.mensajes.isEmpty()) << qPrintable(operador.textos().join(u'|'));
    EXPECT_EQ(Filas(), 50);
    // Rows written afterwards go to the compacted file, not to the one it replaced.
    {
        CDatos datos;
        datos.AbrirBase(cadena);
        datos.AbreRegistro("SELECT * FROM Reporte");
        datos.AgregaRegistros({{"Lote", 2}, {"Numero", 1}});
    }
    CerrarConexionesDelHilo();
    EXPECT_EQ(Filas(), 51);

    CDatos().CompactaryReparar("falta.db", &operador);
    ASSERT_EQ(operador.mensajes.size(), 1);
    EXPECT_EQ(operador.mensajes[0].icono, Icono::Exclamacion);
}

QStringList avisosQt;
void GuardarAviso(QtMsgType, const QMessageLogContext&, const QString& texto) {
    avisosQt << texto;
}

TEST_P(BaseSqlite, CerrarLasConexionesDelHiloNoDejaConsultasColgadas) {
    avisosQt.clear();
    const QtMessageHandler anterior = qInstallMessageHandler(GuardarAviso);
    {
        CDatos datos;
        datos.AbrirBase(cadena);
        datos.AbreRegistro("SELECT * FROM Reporte WHERE Lote = ?", {1});
        datos.AgregaRegistros({{"Lote", 1}, {"Numero", 1}});
        ModeloTabla modelo;
        modelo.Abrir({cadena, "Reporte"});
        modelo.Cambiar(0, "Peso", 2);
        CerrarConexionesDelHilo();
        // Objects that outlive the connection fail cleanly and reopen on their next use.
        EXPECT_THROW(
            {
                datos.Registro.AsignarCampo("Peso", 3);
                datos.Registro.Update();
            },
            ErrorBase);
        EXPECT_TRUE(modelo.Refrescar());
        EXPECT_EQ(modelo.rowCount(), 1);
    }
    CerrarConexionesDelHilo();
    qInstallMessageHandler(anterior);
    EXPECT_FALSE(avisosQt.join(u'\n').contains("still in use")) << qPrintable(avisosQt.join(u'\n'));
}

}  // namespace
