// Connection strings and bad input on SQLite: what opens, what is refused, and that a failed
// write never leaves a row behind.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTime>

#include "data/CDatos.h"
#include "data/Conexion.h"
#include "data/Provision.h"
#include "data/Tablas.h"
#include "tests/support/CarpetaTemporal.h"
#include "tests/support/InteraccionGuion.h"

namespace {

QString Error(const QString& cadena) {
    QString error;
    EXPECT_FALSE(AnalizarCadenaConexion(cadena, &error).has_value()) << qPrintable(cadena);
    return error;
}

TEST(CadenaConexion, ClavesConocidasYRutasRelativas) {
    CarpetaTemporal carpeta;
    carpeta.escribir(QStringLiteral("Datos.DB"), QByteArray());
    QString error;
    auto c = AnalizarCadenaConexion(QStringLiteral("Driver=QSQLITE;Data Source=datos.db;"), &error);
    ASSERT_TRUE(c) << qPrintable(error);
    // A bare name matches the data folder's file without regard to case.
    EXPECT_EQ(c->archivo, QDir(carpeta.ruta()).absoluteFilePath(QStringLiteral("Datos.DB")));
    c = AnalizarCadenaConexion(QStringLiteral(" data source = sub/x.db ; mode=Read"), &error);
    ASSERT_TRUE(c) << qPrintable(error);
    EXPECT_EQ(c->driver, QStringLiteral("QSQLITE"));
    EXPECT_EQ(c->archivo, QDir(carpeta.ruta()).absoluteFilePath(QStringLiteral("sub/x.db")));
    EXPECT_TRUE(c->soloLectura);

    c = AnalizarCadenaConexion(
        QStringLiteral("Driver=QPSQL;Host=127.0.0.1;Port=5433;Database=b;User=u;"
                       "Password=\"a;b=c\";Timeout=3000;"),
        &error);
    ASSERT_TRUE(c) << qPrintable(error);
    EXPECT_EQ(c->puerto, 5433);
    EXPECT_EQ(c->clave, QStringLiteral("a;b=c"));
    EXPECT_EQ(c->esperaMs, 3000);
}

TEST(CadenaConexion, LoQueNoSePuedeUsarSeRechazaConUnMotivo) {
    const QString jet = Error(
        QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=C:\\Bascora\\datos.mdb;"));
    EXPECT_TRUE(jet.contains(QStringLiteral(".mdb")));
    EXPECT_TRUE(jet.contains(QStringLiteral("importar-mdb")));
    EXPECT_TRUE(Error(QStringLiteral("Driver=QSQLITE;Data Source=a.db;Colour=red;"))
                    .contains(QStringLiteral("Colour")));
    EXPECT_FALSE(Error(QStringLiteral("Driver=QMYSQL;Data Source=a.db;")).isEmpty());
    EXPECT_FALSE(Error(QStringLiteral("Driver=QPSQL;Host=127.0.0.1;")).isEmpty());
    EXPECT_FALSE(Error(QStringLiteral("Driver=QSQLITE;Host=127.0.0.1;Data Source=a.db")).isEmpty());
    EXPECT_FALSE(Error(QStringLiteral("Driver=QPSQL;Database=b;Port=99999")).isEmpty());
    EXPECT_FALSE(Error(QString()).isEmpty());
    EXPECT_FALSE(Error(QStringLiteral("Data Source")).isEmpty());
}

class BaseSqlite : public ::testing::Test {
  protected:
    void SetUp() override {
        InformeProvision informe;
        PrepararBase(cadena, informe);
        ASSERT_TRUE(informe.ok()) << qPrintable(informe.Texto());
    }
    CarpetaTemporal carpeta;
    const QString cadena = QStringLiteral("Driver=QSQLITE;Data Source=datos.db;");
};

TEST_F(BaseSqlite, ArchivoFaltanteOQueNoEsUnaBaseFallaEnSilencio) {
    CDatos datos;
    datos.AbrirBase(QStringLiteral("Driver=QSQLITE;Data Source=no-existe.db;"));
    EXPECT_FALSE(datos.BaseAbierta());
    EXPECT_FALSE(QFile::exists(carpeta.ruta(QStringLiteral("no-existe.db"))));
    datos.AbreRegistro(QStringLiteral("SELECT * FROM Reporte"));
    EXPECT_FALSE(datos.Registro.Abierto());
    EXPECT_THROW(datos.Existe_Registro(), ErrorBase);
    EXPECT_EQ(datos.Cant_Registros(), 0);
    datos.AgregaRegistros({{QStringLiteral("Lote"), 1}});  // silent

    carpeta.escribir(QStringLiteral("texto.db"), QByteArray(4096, 'x'));
    datos.AbrirBase(QStringLiteral("Driver=QSQLITE;Data Source=texto.db;"));
    EXPECT_FALSE(datos.BaseAbierta());
    EXPECT_FALSE(datos.UltimoError().isEmpty());

    datos.AbrirBase(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=datos.mdb;"));
    EXPECT_FALSE(datos.BaseAbierta());
    EXPECT_TRUE(datos.UltimoError().contains(QStringLiteral("importar-mdb")));
}

TEST_F(BaseSqlite, TablaOColumnaFaltante) {
    CDatos datos;
    datos.AbrirBase(cadena);
    datos.AbreRegistro(QStringLiteral("SELECT * FROM NoExiste"));
    EXPECT_FALSE(datos.Registro.Abierto());
    EXPECT_THROW(datos.Existe_Registro(), ErrorBase);
    datos.AbreRegistro(QStringLiteral("SELECT Lote, NoHay FROM Reporte"));
    EXPECT_THROW(datos.Existe_Registro(), ErrorBase);
    // Closing what is not open is harmless.
    datos.CierraRegistro();
    datos.CerrarBase();
    datos.CerrarBase();
}

TEST_F(BaseSqlite, BaseDeSoloLecturaOBloqueadaNoGuardaNada) {
    CDatos lectura;
    lectura.AbrirBase(cadena + QStringLiteral("Mode=Read;"));
    ASSERT_TRUE(lectura.BaseAbierta()) << qPrintable(lectura.UltimoError());
    lectura.AbreRegistro(QStringLiteral("SELECT * FROM Reporte"));
    lectura.AgregaRegistros({{QStringLiteral("Lote"), 1}, {QStringLiteral("Numero"), 1}});
    lectura.Registro.AddNew();
    lectura.Registro.AsignarCampo(QStringLiteral("Lote"), 2);
    try {
        lectura.Registro.Update();
        FAIL() << "a read-only database took a row";
    } catch (const ErrorBase& e) {
        EXPECT_FALSE(e.esClaveDuplicada());
    }

    // Another connection holds the write lock.
    const QString nombre = NuevoNombreConexion();
    ASSERT_TRUE(AbrirConexion(nombre, cadena, false, nullptr));
    {
        QSqlQuery bloqueo(QSqlDatabase::database(nombre, false));
        ASSERT_TRUE(bloqueo.exec(QStringLiteral("BEGIN EXCLUSIVE")));
        CDatos datos;
        datos.AbrirBase(cadena + QStringLiteral("Timeout=50;"));
        datos.AbreRegistro(QStringLiteral("SELECT * FROM Reporte"));
        datos.Registro.AddNew();
        datos.Registro.AsignarCampo(QStringLiteral("Lote"), 3);
        EXPECT_THROW(datos.Registro.Update(), ErrorBase);
        datos.AgregaRegistros({{QStringLiteral("Lote"), 4}});
        datos.CerrarBase();
        EXPECT_TRUE(bloqueo.exec(QStringLiteral("COMMIT")));
    }
    CerrarConexion(nombre);

    CDatos datos;
    datos.AbrirBase(cadena);
    datos.AbreRegistro(QStringLiteral("SELECT * FROM Reporte"));
    EXPECT_EQ(datos.Cant_Registros(), 0);
}

TEST_F(BaseSqlite, CompactarConservaLosDatosYReemplazaLaBase) {
    {
        CDatos datos;
        datos.AbrirBase(cadena);
        datos.AbreRegistro(QStringLiteral("SELECT * FROM Reporte"));
        for (int i = 1; i <= 50; ++i) {
            datos.AgregaRegistros({{QStringLiteral("Lote"), 1}, {QStringLiteral("Numero"), i}});
        }
    }
    // A leftover temporary file of the same name is deleted first (both seconds the run may
    // fall in are covered).
    const QTime ahora = QTime::currentTime();
    for (const QTime& t : {ahora, ahora.addSecs(1)}) {
        carpeta.escribir(QStringLiteral("DBT_%1.db").arg(t.toString(QStringLiteral("mmss"))),
                         "resto");
    }
    InteraccionGuion operador;
    CDatos().CompactaryReparar(carpeta.ruta(QStringLiteral("datos.db")), &operador);
    EXPECT_TRUE(operador.mensajes.isEmpty()) << qPrintable(operador.textos().join(u'|'));
    CDatos datos;
    datos.AbrirBase(cadena);
    datos.AbreRegistro(QStringLiteral("SELECT * FROM Reporte"));
    EXPECT_EQ(datos.Cant_Registros(), 50);
    datos.CerrarBase();

    CDatos().CompactaryReparar(QStringLiteral("falta.db"), &operador);
    ASSERT_EQ(operador.mensajes.size(), 1);
    EXPECT_EQ(operador.mensajes[0].titulo, QStringLiteral("Error al compactar la base de datos"));
    EXPECT_TRUE(operador.mensajes[0].texto.startsWith(
        QStringLiteral("Error al compactar la base de datos:\n")));
    EXPECT_EQ(operador.mensajes[0].icono, Icono::Exclamacion);
}

TEST_F(BaseSqlite, AdjuntarTablaDaElMensajeDeCadaVentana) {
    CDatos datos;
    EXPECT_EQ(AdjuntarTabla(datos, cadena, QStringLiteral("SELECT * FROM Reporte"),
                            VentanaDatos::Reporte),
              QString());
    EXPECT_EQ(AdjuntarTabla(datos, QString(), QStringLiteral("SELECT * FROM Reporte"),
                            VentanaDatos::Reporte),
              QStringLiteral("No se encuentra datos.mdb."));
    EXPECT_EQ(
        AdjuntarTabla(datos, cadena, QStringLiteral("SELECT * FROM Nada"), VentanaDatos::Recetas),
        QStringLiteral("La referencia de datos es incorrecta."));
    EXPECT_EQ(MensajeBaseDatos(VentanaDatos::Opciones).texto,
              QStringLiteral("No se encuentra data.mdb."));
    EXPECT_EQ(MensajeBaseDatos(VentanaDatos::Productos).titulo, QStringLiteral("Error"));
    EXPECT_TRUE(MensajeBaseDatos(VentanaDatos::EditorTicket).titulo.isEmpty());
}

}  // namespace
