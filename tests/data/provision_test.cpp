// Preparing a data folder: everything on an empty folder, only what is missing the next time,
// never touching what is there.
#include <gtest/gtest.h>

#include <QFile>

#include "base/Globales.h"
#include "data/CDatos.h"
#include "data/Conexion.h"
#include "data/Provision.h"
#include "data/Tablas.h"
#include "settings/Config.h"
#include "settings/ValoresGlobales.h"
#include "tests/data/MotorDatos.h"

namespace {

OpcionesProvision ConRecursos() {
    OpcionesProvision o;
    o.rutaRecursos = QStringLiteral(BASCORA_DIR_FUENTE "/share");
    return o;
}

TEST(Provision, CarpetaVaciaQuedaListaParaTrabajar) {
    CarpetaTemporal carpeta;
    const InformeProvision informe = PrepararCarpeta(ConRecursos());
    EXPECT_TRUE(informe.ok()) << qPrintable(informe.Texto());
    EXPECT_TRUE(informe.existente.isEmpty()) << qPrintable(informe.Texto());
    EXPECT_TRUE(QFile::exists(carpeta.ruta("English.idm")));

    // The settings point at the new database, scrambled.
    CargarValoresGlobales();
    EXPECT_EQ(DataCSReporte, CadenaConexionPredeterminada());
    EXPECT_NE(LeerConfig("BaseDeDatos", "DataCSReporte", QString()), DataCSReporte);
    // Every logical table has every column the program uses, and the program can open it.
    for (const DescripcionTabla& t : TablasLogicas()) {
        QStringList columnas;
        for (const ColumnaTabla& c : t.columnas) columnas << c.nombre;
        const QString tabla =
            t.tabla == TablaLogica::Ticket ? NombreTablaTicket(5) : NombreTablaDe(t.tabla);
        CDatos datos;
        datos.AbrirBase(ConexionDe(t.tabla));
        datos.AbreRegistro("SELECT " + columnas.join(u',') + " FROM " + tabla);
        EXPECT_NO_THROW(datos.Existe_Registro()) << qPrintable(tabla + u' ' + columnas.join(u','));
        EXPECT_TRUE(datos.Registro.Abierto()) << qPrintable(tabla + u' ' + datos.UltimoError());
    }
}

TEST(Provision, SegundaPasadaSoloAgregaLoQueFaltaYUnaBaseIlegibleSeInforma) {
    CarpetaTemporal carpeta;
    ASSERT_TRUE(PrepararCarpeta().ok());
    // The site's own data and settings, and some pieces lost.
    GuardarConfig("BaseDeDatos", "DataTbReporte", "Pesadas", true);
    for (const char* sql :
         {"INSERT INTO Reporte (Lote, Numero, Peso) VALUES (9, 1, 5)",
          "UPDATE Ticket4 SET CAPTION = 'Mio' WHERE Id = 1", "DELETE FROM Ticket4 WHERE Id = 7",
          "DELETE FROM PLU_SETUP WHERE Codigo = 8", "DROP INDEX Reporte_Lote_Numero",
          "ALTER TABLE PLU DROP COLUMN Aux", "DROP TABLE Recetas",
          // a table the settings name gets the key too
          "CREATE TABLE Pesadas (Lote INTEGER, Numero INTEGER, Peso DOUBLE)",
          "INSERT INTO Pesadas (Lote, Numero) VALUES (1, 1), (1, 2)"})
        EjecutarSql(CadenaConexionPredeterminada(), QString::fromLatin1(sql));

    const InformeProvision informe = PrepararCarpeta();
    EXPECT_TRUE(informe.ok()) << qPrintable(informe.Texto());
    const QString creado = informe.creado.join(u'\n');
    for (const char* parte :
         {"layout rows 7 of Ticket4", "group rows 8 of PLU_SETUP", "Reporte_Lote_Numero",
          "columns Aux of table PLU", "table Recetas", "key column Id of table Pesadas (2 rows"})
        EXPECT_TRUE(creado.contains(QString::fromLatin1(parte))) << parte << "\n"
                                                                 << qPrintable(creado);
    EXPECT_EQ(informe.creado.size(), 7) << qPrintable(creado);  // the six above and the recipes

    CDatos datos;
    datos.AbrirBase(CadenaConexionPredeterminada());
    datos.AbreRegistro("SELECT * FROM Ticket4");
    ASSERT_EQ(datos.Cant_Registros(), 25);
    EXPECT_EQ(datos.Registro.Campo("CAPTION").toString(), "Mio");
    datos.AbreRegistro("SELECT * FROM Reporte");
    EXPECT_EQ(datos.Cant_Registros(), 1);
    datos.CerrarBase();
    EXPECT_EQ(LeerConfig("BaseDeDatos", "DataTbReporte", QString(), true), "Pesadas");
    // A third run finds everything in place.
    EXPECT_TRUE(PrepararCarpeta().creado.isEmpty());

    CarpetaTemporal otra;
    otra.escribir("datos.db", QByteArray(2048, 'z'));
    EXPECT_FALSE(PrepararCarpeta().ok());
    EXPECT_EQ(otra.leer("datos.db"), QByteArray(2048, 'z'));
}

class ProvisionEnMotor : public MotorDatos {};
INSTANCIAR_MOTORES(ProvisionEnMotor);

// A database from before the Id key: rows, a primary key on Codigo and a unique index.
TEST_P(ProvisionEnMotor, LaClaveSeAgregaAUnaBaseExistenteSinPerderFilasNiReglas) {
    Sql("DROP TABLE PLU_SETUP");
    Sql("DROP TABLE Reporte");
    Sql("CREATE TABLE PLU_SETUP (Codigo INTEGER NOT NULL, Nombre VARCHAR(12) DEFAULT 'x', "
        "Letra VARCHAR(1), Alfa INTEGER, Texto INTEGER, CUIT INTEGER, PRIMARY KEY (Codigo))");
    Sql("INSERT INTO PLU_SETUP (Codigo, Nombre) VALUES (3, 'c'), (1, 'a'), (2, 'b')");
    Sql("CREATE TABLE Reporte (Lote INTEGER, Numero INTEGER, Fecha VARCHAR(10), Hora VARCHAR(8), "
        "Peso DOUBLE PRECISION, Codigo1 INTEGER, Codigo2 INTEGER, Codigo3 INTEGER, "
        "Codigo4 INTEGER, Codigo5 INTEGER, Codigo6 INTEGER, Codigo7 INTEGER, Codigo8 INTEGER)");
    Sql("CREATE UNIQUE INDEX Reporte_Lote_Numero ON Reporte (Lote, Numero)");
    LlenarReporte(40);

    InformeProvision informe;
    PrepararBase(cadena, informe);
    ASSERT_TRUE(informe.ok()) << qPrintable(informe.Texto());
    const QString creado = informe.creado.join(u'\n');
    EXPECT_TRUE(creado.contains("key column Id of table PLU_SETUP (3 rows")) << qPrintable(creado);
    EXPECT_TRUE(creado.contains("key column Id of table Reporte (40 rows")) << qPrintable(creado);
    // Every row kept and numbered, the old columns where they were.
    EXPECT_EQ(Valor("SELECT COUNT(DISTINCT Id) FROM Reporte WHERE Id IS NOT NULL").toInt(), 40);
    EXPECT_EQ(Valor("SELECT SUM(Numero) FROM Reporte").toInt(), 40 * 41 / 2);
    EXPECT_EQ(Valor("SELECT COUNT(DISTINCT Id) FROM PLU_SETUP").toInt(), 8);  // groups 4-8 added
    EXPECT_EQ(Valor("SELECT Nombre FROM PLU_SETUP WHERE Codigo = 1").toString(), "a");
    {
        CDatos datos;
        datos.AbrirBase(cadena);
        datos.AbreRegistro("SELECT * FROM PLU_SETUP");
        EXPECT_EQ(datos.Registro.Columnas().first().toLower(), "codigo");
        EXPECT_EQ(datos.Registro.Campo("Nombre").toString(), "a");  // key order kept the rows'
        datos.Registro.AsignarCampo("Nombre", "nuevo");
        EXPECT_EQ(Fallo([&] { datos.Registro.Update(); }), "ok");
    }
    // The old rules still hold and new rows get the next key.
    EXPECT_FALSE(IntentarSql("INSERT INTO PLU_SETUP (Codigo) VALUES (2)"));
    EXPECT_FALSE(IntentarSql("INSERT INTO PLU_SETUP (Nombre) VALUES ('sin codigo')"));
    EXPECT_FALSE(IntentarSql("INSERT INTO Reporte (Lote, Numero) VALUES (1, 5)"));
    EXPECT_TRUE(IntentarSql("INSERT INTO PLU_SETUP (Codigo) VALUES (9)"));
    EXPECT_EQ(Valor("SELECT Nombre FROM PLU_SETUP WHERE Codigo = 9").toString(), "x");
    EXPECT_GT(Valor("SELECT Id FROM PLU_SETUP WHERE Codigo = 9").toInt(),
              Valor("SELECT MAX(Id) FROM PLU_SETUP WHERE Codigo <> 9").toInt());

    InformeProvision otra;
    PrepararBase(cadena, otra);
    EXPECT_TRUE(otra.creado.isEmpty()) << qPrintable(otra.Texto());
}

}  // namespace
