// Preparing a data folder: everything on an empty folder, only what is missing the next time,
// never touching what is there.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>

#include "app/Globales.h"
#include "data/CDatos.h"
#include "data/Conexion.h"
#include "data/Provision.h"
#include "data/Tablas.h"
#include "settings/Config.h"
#include "tests/data/MotorDatos.h"
#include "tests/support/CarpetaTemporal.h"

namespace {

QStringList ColumnasDe(const QString& tabla) {
    const QString nombre = NuevoNombreConexion();
    QStringList columnas;
    if (AbrirConexion(nombre, CadenaConexionPredeterminada(), false, nullptr)) {
        const QSqlRecord r = QSqlDatabase::database(nombre, false).record(tabla);
        for (int k = 0; k < r.count(); ++k) columnas << r.fieldName(k).toLower();
    }
    CerrarConexion(nombre);
    return columnas;
}

void Sql(const QString& sql) {
    const QString nombre = NuevoNombreConexion();
    ASSERT_TRUE(AbrirConexion(nombre, CadenaConexionPredeterminada(), false, nullptr));
    {
        QSqlQuery q(QSqlDatabase::database(nombre, false));
        EXPECT_TRUE(q.exec(sql)) << qPrintable(sql);
    }
    CerrarConexion(nombre);
}

TEST(Provision, CarpetaVaciaQuedaListaParaTrabajar) {
    CarpetaTemporal carpeta;
    const InformeProvision informe = PrepararCarpeta();
    EXPECT_TRUE(informe.ok()) << qPrintable(informe.Texto());
    EXPECT_TRUE(informe.existente.isEmpty()) << qPrintable(informe.Texto());

    // Every logical table with every column the program uses.
    for (const DescripcionTabla& t : TablasLogicas()) {
        const QString nombre = t.tabla == TablaLogica::Ticket ? t.nombre + u'3' : t.nombre;
        const QStringList columnas = ColumnasDe(nombre);
        for (const ColumnaTabla& c : t.columnas) {
            EXPECT_TRUE(columnas.contains(c.nombre.toLower()))
                << qPrintable(nombre + u'.' + c.nombre);
        }
    }
    // The settings point at the new database, scrambled, and the program can open every table.
    CargarValoresGlobales();
    EXPECT_EQ(DataCSReporte, CadenaConexionPredeterminada());
    EXPECT_NE(LeerConfig(QStringLiteral("BaseDeDatos"), QStringLiteral("DataCSReporte"), QString()),
              DataCSReporte);
    for (const DescripcionTabla& t : TablasLogicas()) {
        const QString tabla =
            t.tabla == TablaLogica::Ticket ? NombreTablaTicket(5) : NombreTablaDe(t.tabla);
        CDatos datos;
        datos.AbrirBase(ConexionDe(t.tabla));
        datos.AbreRegistro(QStringLiteral("SELECT * FROM ") + tabla);
        EXPECT_TRUE(datos.Registro.Abierto()) << qPrintable(tabla + u' ' + datos.UltimoError());
    }
    CDatos datos;
    datos.AbrirBase(DataCSPLU_SETUP);
    datos.AbreRegistro(QStringLiteral("SELECT * FROM ") + DataTbPLU_SETUP +
                       QStringLiteral(" ORDER BY Codigo ASC"));
    EXPECT_EQ(datos.Cant_Registros(), 8);
    datos.AbreRegistro(QStringLiteral("SELECT * FROM Ticket2"));
    EXPECT_EQ(datos.Cant_Registros(), 25);
    datos.AbreRegistro(QStringLiteral("SELECT * FROM Recetas ORDER BY Receta"));
    EXPECT_GT(datos.Cant_Registros(), 0);
    EXPECT_TRUE(QFile::exists(carpeta.ruta(QStringLiteral("English.idm"))));
}

TEST(Provision, SegundaPasadaSoloAgregaLoQueFalta) {
    CarpetaTemporal carpeta;
    ASSERT_TRUE(PrepararCarpeta().ok());
    // The site's own data and settings, and some pieces lost.
    GuardarConfig(QStringLiteral("BaseDeDatos"), QStringLiteral("DataTbReporte"),
                  QStringLiteral("Pesadas"), true);
    Sql(QStringLiteral("INSERT INTO Reporte (Lote, Numero, Peso) VALUES (9, 1, 5)"));
    Sql(QStringLiteral("UPDATE Ticket4 SET CAPTION = 'Mio' WHERE Id = 1"));
    Sql(QStringLiteral("DELETE FROM Ticket4 WHERE Id = 7"));
    Sql(QStringLiteral("DELETE FROM PLU_SETUP WHERE Codigo = 8"));
    Sql(QStringLiteral("DROP INDEX Reporte_Lote_Numero"));
    Sql(QStringLiteral("ALTER TABLE PLU DROP COLUMN Aux"));
    Sql(QStringLiteral("DROP TABLE Recetas"));

    const InformeProvision informe = PrepararCarpeta();
    EXPECT_TRUE(informe.ok()) << qPrintable(informe.Texto());
    const QString creado = informe.creado.join(u'\n');
    EXPECT_TRUE(creado.contains(QStringLiteral("layout rows 7 of Ticket4"))) << qPrintable(creado);
    EXPECT_TRUE(creado.contains(QStringLiteral("group rows 8 of PLU_SETUP"))) << qPrintable(creado);
    EXPECT_TRUE(creado.contains(QStringLiteral("Reporte_Lote_Numero"))) << qPrintable(creado);
    EXPECT_TRUE(creado.contains(QStringLiteral("columns Aux of table PLU"))) << qPrintable(creado);
    EXPECT_TRUE(creado.contains(QStringLiteral("table Recetas"))) << qPrintable(creado);
    EXPECT_EQ(informe.creado.size(), 6) << qPrintable(creado);  // the five above and the recipes

    CDatos datos;
    datos.AbrirBase(CadenaConexionPredeterminada());
    datos.AbreRegistro(QStringLiteral("SELECT * FROM Ticket4"));
    ASSERT_EQ(datos.Cant_Registros(), 25);
    EXPECT_EQ(datos.Registro.Campo(QStringLiteral("CAPTION")).toString(), QStringLiteral("Mio"));
    datos.AbreRegistro(QStringLiteral("SELECT * FROM Reporte"));
    EXPECT_EQ(datos.Cant_Registros(), 1);
    EXPECT_EQ(
        LeerConfig(QStringLiteral("BaseDeDatos"), QStringLiteral("DataTbReporte"), QString(), true),
        QStringLiteral("Pesadas"));

    // A third run finds everything in place.
    EXPECT_TRUE(PrepararCarpeta().creado.isEmpty());
}

TEST(Provision, UnaBaseQueNoSePuedeAbrirSeInforma) {
    CarpetaTemporal carpeta;
    carpeta.escribir(QStringLiteral("datos.db"), QByteArray(2048, 'z'));
    const InformeProvision informe = PrepararCarpeta();
    EXPECT_FALSE(informe.ok());
    EXPECT_EQ(carpeta.leer(QStringLiteral("datos.db")), QByteArray(2048, 'z'));
}

class ProvisionEnMotor : public MotorDatos {};
INSTANCIAR_MOTORES(ProvisionEnMotor);

TEST_P(ProvisionEnMotor, SegundaPasadaSobreLaBaseNoCreaNada) {
    // The fixture prepared the database once already.
    InformeProvision informe;
    PrepararBase(cadena, informe);
    EXPECT_TRUE(informe.ok()) << qPrintable(informe.Texto());
    EXPECT_TRUE(informe.creado.isEmpty()) << qPrintable(informe.Texto());
    EXPECT_FALSE(informe.existente.isEmpty());
}

}  // namespace
