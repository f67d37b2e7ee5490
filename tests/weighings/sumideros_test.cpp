// The text file, the table and the error log as download outputs.
#include <gtest/gtest.h>

#include <QFileInfo>

#include "base/Globales.h"
#include "settings/Cp1252.h"
#include "tests/support/CarpetaTemporal.h"
#include "tests/weighings/Auxiliares.h"
#include "weighings/ArchivoPlano.h"
#include "weighings/GuardarError.h"
#include "weighings/Sumideros.h"

namespace {

Pesada Ejemplo(long long lote, int numero, double peso = 123.45) {
    return {"24/12/05", "09:30", peso,        {"ABC   ", "12345", "12kg", "a;b", "0"},
            numero,     lote,    996 + numero};
}

// An unset or unreadable separator falls back to ";" and the caller is told, to warn.
TEST(LeerOpcionesSalida, UnSeparadorQueFaltaSeSuponeYSeAvisa) {
    CarpetaTemporal carpeta;
    EXPECT_TRUE(LeerOpcionesSalida().separadorSupuesto);
    carpeta.escribir("bascora.ini", "[Opciones]\r\nSeparador=9.\r\n");
    EXPECT_EQ(LeerOpcionesSalida().separador, "\t");
    EXPECT_FALSE(LeerOpcionesSalida().separadorSupuesto);
    carpeta.escribir("bascora.ini", "[Opciones]\r\nSeparador=coma.\r\n");
    EXPECT_EQ(LeerOpcionesSalida().separador, ";");
    EXPECT_TRUE(LeerOpcionesSalida().separadorSupuesto);
}

// Windows-1252 on disk, a name never splits a line, a date that is no date kept as it came, the
// same weighing twice stored once.
TEST(ArchivoPlano, LineasEnWindows1252SinRepetir) {
    CarpetaTemporal carpeta;
    Fecha_Frm = QStringLiteral("DD/MM/YYYY");
    OpcionesSalida o;
    o.plano = true;
    o.separador = QStringLiteral(";");
    o.nombrePlano = QStringLiteral("Datos2");
    o.extension = QStringLiteral(".txt");
    Sumideros s(TipoDescarga::Manual, o);
    s.Abrir(7);
    Pesada rara = Ejemplo(7, 1, 5);
    rara.Fecha = QStringLiteral("1A/12/05");
    rara.Codigo[0] = QString::fromUtf8("Café\r\nfrío");
    EXPECT_TRUE(s.Agregar(rara));
    EXPECT_FALSE(s.Agregar(rara));
    s.Cerrar();
    EXPECT_EQ(QFileInfo(s.rutaPlano()).fileName(), "Datos2.txt");
    EXPECT_EQ(
        carpeta.leer("Datos2.txt"),
        AAnsi(QString::fromUtf8("7;1;5;Café  frío;12345;12kg;a;b;0;1A/12/05;09:30:00;997\r\n")));

    // A device that is always full: the line is refused, not half written and reported as done.
    ArchivoPlano lleno(QStringLiteral("/dev/full"), QStringLiteral(";"), Fecha_Frm);
    lleno.Abrir();
    EXPECT_TRUE(lleno.Agregar(Ejemplo(1, 1)));
    EXPECT_THROW(lleno.Cerrar(), ErrorAlmacenamiento);
    lleno.Abortar();
}

TEST(GuardarError, EntradasEnWindows1252YUnLogQueNoAbreSeInforma) {
    CarpetaTemporal carpeta;
    ASSERT_TRUE(GuardarError(QString::fromUtf8("Comunicación")));
    ASSERT_TRUE(GuardarError(QStringLiteral("segunda")));
    const QByteArray log = carpeta.leer("Datos.log");
    EXPECT_TRUE(log.contains("Comunicaci\xF3n\r\n"));
    EXPECT_EQ(log.count("Nuevo Registro"), 2);
    CarpetaTemporal otra;
    QDir().mkdir(QStringLiteral("Datos.log"));
    EXPECT_FALSE(GuardarError(QStringLiteral("x")));
}

// Text codes store their leading number: "ABC   " 0, "12345", "12kg" 12, "a;b" 0.
TEST(TablaReporte, CodigosDeTextoGuardanSuNumeroInicial) {
    CarpetaTemporal carpeta;
    DataCSReporte = aux::kConexion;
    DataTbReporte = QStringLiteral("Reporte");
    ASSERT_TRUE(aux::Sql({QStringLiteral(
        "CREATE TABLE Reporte (Lote INTEGER, Numero INTEGER, Fecha TEXT, Hora TEXT, Peso REAL, "
        "Codigo1 REAL, Codigo2 REAL, Codigo3 REAL, Codigo4 REAL, Codigo5 REAL, Codigo6 REAL, "
        "Codigo7 REAL, Codigo8 REAL)")}));
    OpcionesSalida o;
    o.tabla = true;
    Sumideros s(TipoDescarga::Manual, o);
    s.Abrir(12);
    s.Agregar(Ejemplo(12, 1));
    s.Cerrar();
    std::vector<QVariantList> filas;
    ASSERT_TRUE(aux::Sql({"SELECT Peso, Codigo1, Codigo2, Codigo3, Codigo4 FROM Reporte"}, &filas));
    ASSERT_EQ(filas.size(), 1u);
    EXPECT_EQ(filas[0], QVariantList({123.45, 0.0, 12345.0, 12.0, 0.0}));
}

}  // namespace
