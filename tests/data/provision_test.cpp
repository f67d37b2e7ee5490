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
#include "tests/data/MotorDatos.h"
#include "settings/ValoresGlobales.h"

namespace {

TEST(Provision, CarpetaVaciaQuedaListaParaTrabajar) {
    CarpetaTemporal carpeta;
    const InformeProvision informe = PrepararCarpeta();
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
          "ALTER TABLE PLU DROP COLUMN Aux", "DROP TABLE Recetas"})
        EjecutarSql(CadenaConexionPredeterminada(), QString::fromLatin1(sql));

    const InformeProvision informe = PrepararCarpeta();
    EXPECT_TRUE(informe.ok()) << qPrintable(informe.Texto());
    const QString creado = informe.creado.join(u'\n');
    for (const char* parte : {"layout rows 7 of Ticket4", "group rows 8 of PLU_SETUP",
                              "Reporte_Lote_Numero", "columns Aux of table PLU", "table Recetas"})
        EXPECT_TRUE(creado.contains(QString::fromLatin1(parte))) << parte << "\n"
                                                                 << qPrintable(creado);
    EXPECT_EQ(informe.creado.size(), 6) << qPrintable(creado);  // the five above and the recipes

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

TEST_P(ProvisionEnMotor, SegundaPasadaSobreLaBaseNoCreaNada) {
    // The fixture prepared the database once already.
    InformeProvision informe;
    PrepararBase(cadena, informe);
    EXPECT_TRUE(informe.ok()) << qPrintable(informe.Texto());
    EXPECT_TRUE(informe.creado.isEmpty()) << qPrintable(informe.Texto());
    EXPECT_FALSE(informe.existente.isEmpty());
}

}  // namespace
