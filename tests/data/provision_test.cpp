// Preparing a data folder: everything on an empty folder, only what is missing the next time,
// never touching what is there.

#include "data/Provision.h"
#include "base/Globales.h"
#include "data/Conexion.h"
#include "settings/Config.h"
#include "tests/data/MotorDatos.h"

namespace {

// An empty folder gets everything; a second pass adds only what is missing and keeps the site's
// own rows and settings; an unreadable database is reported and left as it was.
TEST(Provision, SoloAgregaLoQueFaltaYNuncaTocaLoQueHay) {
    CarpetaTemporal carpeta;
    const InformeProvision primera = PrepararCarpeta();
    ASSERT_TRUE(primera.ok()) << qPrintable(primera.Texto());

    GuardarConfig("BaseDeDatos", "DataTbReporte", "Pesadas", true);
    for (const char* sql :
         {"INSERT INTO Reporte (Lote, Numero, Peso) VALUES (9, 1, 5)",
          "UPDATE Ticket4 SET CAPTION = 'Mio' WHERE Id = 1", "DELETE FROM Ticket4 WHERE Id = 7",
          "ALTER TABLE PLU DROP COLUMN Aux", "DROP TABLE Recetas",
          // a table the settings name gets the key too
          "CREATE TABLE Pesadas (Lote INTEGER, Numero INTEGER, Peso DOUBLE)",
          "INSERT INTO Pesadas (Lote, Numero) VALUES (1, 1), (1, 2)"})
        EjecutarSql(CadenaConexionPredeterminada(), QString::fromLatin1(sql));
    const InformeProvision segunda = PrepararCarpeta();
    EXPECT_TRUE(segunda.ok()) << qPrintable(segunda.Texto());
    const QString creado = segunda.creado.join(u'\n');
    for (const char* parte : {"layout rows 7 of Ticket4", "columns Aux of table PLU",
                              "table Recetas", "key column Id of table Pesadas (2 rows"})
        EXPECT_TRUE(creado.contains(QString::fromLatin1(parte))) << parte << qPrintable(creado);
    CDatos datos;
    datos.AbrirBase(CadenaConexionPredeterminada());
    datos.AbreRegistro("SELECT * FROM Ticket4");
    EXPECT_EQ(datos.Registro.Campo("CAPTION").toString(), "Mio");
    datos.AbreRegistro("SELECT * FROM Reporte");
    EXPECT_EQ(datos.Cant_Registros(), 1);
    datos.CerrarBase();
    EXPECT_EQ(LeerConfig("BaseDeDatos", "DataTbReporte", QString(), true), "Pesadas");

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
    EXPECT_TRUE(creado.contains("key column Id of table Reporte (40 rows")) << qPrintable(creado);
    // Every row kept and numbered, the old columns where they were.
    EXPECT_EQ(Valor("SELECT COUNT(DISTINCT Id) FROM Reporte WHERE Id IS NOT NULL").toInt(), 40);
    EXPECT_EQ(Valor("SELECT SUM(Numero) FROM Reporte").toInt(), 40 * 41 / 2);
    EXPECT_EQ(Valor("SELECT COUNT(DISTINCT Id) FROM PLU_SETUP").toInt(), 8);  // groups 4-8 added
    {
        CDatos datos;  // reads in the order of the old key
        datos.AbrirBase(cadena);
        datos.AbreRegistro("SELECT * FROM PLU_SETUP");
        EXPECT_EQ(datos.Registro.Campo("Nombre").toString(), "a");
    }
    // The old rules still hold and new rows get the next key.
    EXPECT_FALSE(IntentarSql("INSERT INTO PLU_SETUP (Codigo) VALUES (2)"));
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
