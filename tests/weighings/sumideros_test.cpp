#include <gtest/gtest.h>

#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>

#include "base/Globales.h"
#include "settings/Cp1252.h"
#include "tests/support/CarpetaTemporal.h"
#include "tests/weighings/Auxiliares.h"
#include "weighings/ArchivoPlano.h"
#include "weighings/GuardarError.h"
#include "weighings/Sumideros.h"
#include "weighings/TablaPesadas.h"

namespace {

Pesada Ejemplo(long long lote, int numero, double peso = 123.45) {
    return {"24/12/05", "09:30", peso,        {"ABC   ", "12345", "12kg", "a;b", "0"},
            numero,     lote,    996 + numero};
}

OpcionesSalida SoloPlano() {
    OpcionesSalida o;
    o.plano = true;
    o.separador = QStringLiteral(";");
    o.nombrePlano = QStringLiteral("Datos2");
    o.extension = QStringLiteral(".txt");
    return o;
}

TEST(LeerOpcionesSalida, ValoresYDefectos) {
    CarpetaTemporal carpeta;
    OpcionesSalida d = LeerOpcionesSalida();
    EXPECT_EQ(d.separador, ";");  // unset: a usable separator, and the caller is told
    EXPECT_TRUE(d.separadorSupuesto);

    carpeta.escribir("bascora.ini",
                     "[Global]\r\nFormatoExcel=True.\r\nArchivoPlano=-1.\r\nFormatoAccess=si.\r\n"
                     "NombreExcel=  Lote  .\r\nNombreTXT=salida.\r\n[Opciones]\r\nSeparador=9.\r\n"
                     "Extension=.csv.\r\nRuta=/tmp/x.\r\n");
    const OpcionesSalida o = LeerOpcionesSalida();
    EXPECT_TRUE(o.libro);
    EXPECT_TRUE(o.plano);
    EXPECT_FALSE(o.tabla);
    EXPECT_EQ(o.separador, "\t");
    EXPECT_FALSE(o.separadorSupuesto);
    EXPECT_EQ(o.nombreLibro, "Lote");
    EXPECT_EQ(o.nombrePlano, "salida");
    EXPECT_EQ(o.extension, ".csv");
    EXPECT_EQ(o.ruta, "/tmp/x");

    carpeta.escribir("bascora.ini", "[Opciones]\r\nSeparador=coma.\r\n");
    EXPECT_TRUE(LeerOpcionesSalida().separadorSupuesto);
}

TEST(ArchivoPlano, FormatosDeFechaYNumero) {
    EXPECT_EQ(FechaDePesada(QStringLiteral("24/12/79")), QDate(2079, 12, 24));
    EXPECT_EQ(FechaDePesada(QStringLiteral("01/01/80")), QDate(1980, 1, 1));
    EXPECT_FALSE(FechaDePesada(QStringLiteral("1A/12/05")).isValid());
    EXPECT_FALSE(FechaDePesada(QStringLiteral("31/02/05")).isValid());
    EXPECT_FALSE(HoraDePesada(QStringLiteral("25:00")).isValid());
    const QDate d(2005, 3, 7);
    EXPECT_EQ(FormatearFecha(d, QStringLiteral("DD/MM/YYYY")), "07/03/2005");
    EXPECT_EQ(FormatearFecha(d, QStringLiteral("yyyy-mm-dd")), "2005-03-07");
    EXPECT_EQ(FormatearFecha(d, QStringLiteral("D.M.YY")), "7.3.05");
    EXPECT_EQ(FormatearFecha(d, QStringLiteral("DD \"de\" MM \\d")), "07 de 03 d");
    const QString punto = QLocale::system().decimalPoint();
    EXPECT_EQ(TextoNumero(123.45), "123" + punto + "45");
    EXPECT_EQ(TextoNumero(16777215), "16777215");  // no grouping, no exponent
    EXPECT_EQ(TextoNumero(0.1), "0" + punto + "1");
}

TEST(ArchivoPlano, LineasAgregadasEntreDescargas) {
    CarpetaTemporal carpeta;
    Fecha_Frm = QStringLiteral("DD/MM/YYYY");
    const QString punto = QLocale::system().decimalPoint();
    QString lineas;
    for (long long lote : {7, 8}) {
        Sumideros s(TipoDescarga::Manual, SoloPlano());
        s.Abrir(lote);
        Pesada p = Ejemplo(lote, 1);
        p.Secuencia += 10 * lote;
        EXPECT_TRUE(s.Agregar(p));
        Pesada rara = Ejemplo(lote, 2, 5);
        rara.Secuencia += 10 * lote;
        rara.Fecha = QStringLiteral("1A/12/05");             // not BCD: kept as it came
        rara.Codigo[0] = QString::fromUtf8("Café\r\nfrío");  // a name never splits a line
        EXPECT_TRUE(s.Agregar(rara));
        EXPECT_FALSE(s.Agregar(p));  // the same weighing twice is stored once
        s.Cerrar();
        EXPECT_EQ(QFileInfo(s.rutaPlano()).fileName(), "Datos2.txt");
        lineas += QString::fromUtf8(
                      "%1;1;123%2;ABC   ;12345;12kg;a;b;0;24/12/2005;09:30:00;%3\r\n"
                      "%1;2;5;Café  frío;12345;12kg;a;b;0;1A/12/05;09:30:00;%4\r\n")
                      .arg(lote)
                      .arg(punto + "45")
                      .arg(997 + 10 * lote)
                      .arg(998 + 10 * lote);
    }
    const QByteArray esperado = AAnsi(lineas);
    EXPECT_EQ(carpeta.leer("Datos2.txt"), esperado);
    EXPECT_TRUE(esperado.contains("Caf\xE9"));  // Windows-1252 on disk
}

TEST(ArchivoPlano, FallosDeEscrituraSeInforman) {
    CarpetaTemporal carpeta;
    OpcionesSalida o = SoloPlano();
    o.ruta = carpeta.ruta("no_existe/");
    Sumideros faltaCarpeta(TipoDescarga::Manual, o);
    EXPECT_THROW(faltaCarpeta.Abrir(1), ErrorAlmacenamiento);
    faltaCarpeta.Abortar();

    // A device that is always full: the line is refused, not half written and reported as done.
    ArchivoPlano lleno(QStringLiteral("/dev/full"), QStringLiteral(";"), Fecha_Frm);
    lleno.Abrir();
    EXPECT_TRUE(lleno.Agregar(Ejemplo(1, 1)));
    try {
        lleno.Cerrar();
        FAIL() << "a failed write must raise";
    } catch (const ErrorAlmacenamiento& e) {
        EXPECT_FALSE(e.esClaveDuplicada());
    }
    lleno.Abortar();
}

TEST(GuardarError, EntradasAgregadasConCabecera) {
    CarpetaTemporal carpeta;
    ASSERT_TRUE(GuardarError(QString::fromUtf8("Comunicación\r\nNo se pudo bajar")));
    ASSERT_TRUE(GuardarError(QStringLiteral("segunda"), QStringLiteral("001009"),
                             QStringLiteral("001010")));
    const QString log = DesdeAnsi(carpeta.leer("Datos.log"));
    const QString banner = QStringLiteral(
        "\\*{30} Nuevo Registro \\*{30}\r\nFecha y Hora: [^\r\n]*\\d\\d:\\d\\d:\\d\\d\r\n");
    const QRegularExpression formato(QStringLiteral("^") + banner +
                                     QString::fromUtf8("Comunicación\r\nNo se pudo bajar\r\n\r\n") +
                                     banner + QStringLiteral("segunda\r\n\r\n$"));
    EXPECT_TRUE(formato.match(log).hasMatch()) << log.toStdString();
    EXPECT_TRUE(carpeta.leer("Datos.log").contains("Comunicaci\xF3n"));

    // A log that cannot be opened is reported to the caller, and nothing is written.
    CarpetaTemporal otra;
    QDir().mkdir(QStringLiteral("Datos.log"));
    EXPECT_FALSE(GuardarError(QStringLiteral("x")));
}

class TablaReporte : public ::testing::Test {
  protected:
    void SetUp() override {
        DataCSReporte = aux::kConexion;
        DataTbReporte = QStringLiteral("Reporte");
        ASSERT_TRUE(aux::Sql({QStringLiteral(
            "CREATE TABLE Reporte (Lote INTEGER, Numero INTEGER, Fecha TEXT, Hora TEXT, "
            "Peso REAL, Codigo1 REAL, Codigo2 REAL, Codigo3 REAL, Codigo4 REAL, Codigo5 REAL, "
            "Codigo6 REAL, Codigo7 REAL, Codigo8 REAL, UNIQUE (Lote, Numero))")}));
        o.tabla = true;
    }
    CarpetaTemporal carpeta;
    OpcionesSalida o;
};

TEST_F(TablaReporte, CodigosDeTextoGuardanSuNumeroInicial) {
    Sumideros s(TipoDescarga::Manual, o);
    s.Abrir(12);
    s.Agregar(Ejemplo(12, 1));
    s.Cerrar();
    std::vector<QVariantList> filas;
    ASSERT_TRUE(aux::Sql({QStringLiteral("SELECT Fecha, Hora, Peso, Codigo1, Codigo2, Codigo3, "
                                         "Codigo4 FROM Reporte")},
                         &filas));
    ASSERT_EQ(filas.size(), 1u);
    // "ABC   ", "12345", "12kg", "a;b"
    EXPECT_EQ(filas[0], QVariantList({"24/12/05", "09:30", 123.45, 0.0, 12345.0, 12.0, 0.0}));
}

TEST_F(TablaReporte, SoloUnaClaveRepetidaEsDuplicada) {
    ASSERT_TRUE(aux::Sql({QStringLiteral("INSERT INTO Reporte (Lote, Numero) VALUES (12, 1)")}));
    for (const QString tabla : {"Reporte", "NoHay"}) {
        DataTbReporte = tabla;
        Sumideros s(TipoDescarga::Programada, o);
        try {
            s.Abrir(12);
            s.Agregar(Ejemplo(12, 1));
            FAIL() << "must raise: " << tabla.toStdString();
        } catch (const ErrorAlmacenamiento& e) {
            EXPECT_EQ(e.esClaveDuplicada(), tabla == "Reporte") << e.descripcion().toStdString();
        }
        s.Abortar();
    }
}

TEST(TablaPesadas, ValorNumericoInicial) {
    EXPECT_EQ(ValorNumericoInicial(QStringLiteral("  42 cajas")), QVariant(42LL));
    EXPECT_EQ(ValorNumericoInicial(QStringLiteral("-7")), QVariant(-7LL));
    EXPECT_DOUBLE_EQ(ValorNumericoInicial(QStringLiteral("3.5kg")).toDouble(), 3.5);
    EXPECT_EQ(ValorNumericoInicial(QStringLiteral("kg3")), QVariant(0LL));
    EXPECT_EQ(ValorNumericoInicial(QString()), QVariant(0LL));
    EXPECT_EQ(ValorNumericoInicial(QStringLiteral("-")), QVariant(0LL));
}

}  // namespace
