#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "base/Globales.h"
#include "tests/support/CarpetaTemporal.h"
#include "tests/support/LibroLeido.h"
#include "weighings/LibroExcel.h"
#include "weighings/Plantilla.h"
#include "weighings/Sumideros.h"

namespace {

const QString kHoja = QStringLiteral("Pesadas Bascora");

Pesada Ejemplo(long long lote, int numero) {
    return {"24/12/05",  "09:30",
            123.45,      {"ABC   ", "12345", "a<b>&c", QString(QChar(1)) + "_x0041_", "0"},
            numero,      lote,
            996 + numero};
}

class Libro : public ::testing::Test {
  protected:
    void SetUp() override {
        Fecha_Frm = QStringLiteral("DD/MM/YYYY");
        ASSERT_TRUE(CrearPlantilla(carpeta.ruta(QString::fromLatin1(NombrePlantilla))));
        o.libro = true;
        o.nombreLibro = QStringLiteral("Datos1");
    }
    std::map<QString, CeldaLeida> Descargar(TipoDescarga tipo, int cantidad, long long lote) {
        Sumideros s(tipo, o);
        s.Abrir(lote);
        for (int i = 1; i <= cantidad; ++i) s.Agregar(Ejemplo(lote, i));
        s.Cerrar();
        ruta = QFileInfo(s.rutaLibro()).fileName();
        return LeerHoja(ruta, kHoja);
    }
    CarpetaTemporal carpeta;
    OpcionesSalida o;
    QString ruta;
};

TEST_F(Libro, FechasRealesTextosSegurosYNuncaSeReemplazaUnLibroDeLote) {
    auto c = Descargar(TipoDescarga::Manual, 3, 41);
    EXPECT_EQ(c["H2"].formato, "dd/mm/yyyy");  // today as a date
    EXPECT_EQ(c["A6"].valor, "38710");         // 24/12/2005
    EXPECT_NEAR(c["B6"].valor.toDouble(), 9.5 / 24, 1e-12);
    EXPECT_EQ(c["B6"].formato, "h:mm:ss");
    EXPECT_EQ(c["D6"].valor, "ABC   ");  // blanks of character codes kept
    EXPECT_EQ(c["F6"].valor, "a<b>&c");
    EXPECT_EQ(c["G6"].valor, "_x0001__x005F_x0041_");  // XML-safe spreadsheet escapes

    // A date or a time that is not one stays as text; each download copies the template again.
    Pesada p = Ejemplo(3, 1);
    p.Fecha = QStringLiteral("1A/12/05");
    p.Hora = QStringLiteral("25:99");
    Sumideros s(TipoDescarga::Manual, o);
    s.Abrir(3);
    s.Agregar(p);
    s.Cerrar();
    c = LeerHoja(ruta, kHoja);
    EXPECT_EQ(QStringList({c["A6"].tipo, c["A6"].valor, c["B6"].valor}),
              QStringList({"inlineStr", "1A/12/05", "25:99"}));
    EXPECT_FALSE(c["A7"].existe);

    // An aborted download leaves the last good workbook as it was, and no temporary file.
    const QByteArray antes = carpeta.leer(ruta);
    Sumideros abortada(TipoDescarga::Manual, o);
    abortada.Abrir(5);
    abortada.Agregar(Ejemplo(5, 1));
    abortada.Abortar();
    EXPECT_EQ(carpeta.leer(ruta), antes);
    EXPECT_EQ(QDir(carpeta.ruta(".")).entryList(QDir::Files | QDir::Hidden).size(), 2);

    // Workbooks named by their batch are never replaced: the batch number must have been reused.
    o.nombreLibro = QStringLiteral(" ");
    Descargar(TipoDescarga::Programada, 1, 7);
    EXPECT_EQ(ruta, "00000007.xlsx");
    Sumideros repetida(TipoDescarga::Manual, o);
    EXPECT_THROW(repetida.Abrir(7), ErrorAlmacenamiento);
}

// Refused at the start, not when the batch is closed.
TEST_F(Libro, FallosDeAlmacenamientoAlAbrir) {
    const auto rechazada = [&] {
        Sumideros s(TipoDescarga::Manual, o);
        EXPECT_THROW(s.Abrir(1), ErrorAlmacenamiento);
        s.Abortar();
    };
    // A workbook named like the template must not write its rows into it.
    const QString plantilla = QString::fromLatin1(NombrePlantilla);
    const QByteArray original = carpeta.leer(plantilla);
    o.nombreLibro = QStringLiteral("PlantillaBascora");
    rechazada();
    EXPECT_EQ(carpeta.leer(plantilla), original);
    o.nombreLibro = QStringLiteral("Datos1");
    carpeta.escribir(plantilla, "no es un zip");
    rechazada();
}

TEST_F(Libro, PlantillaConFormulasSeRecalculaAlAbrir) {
    // A template as a spreadsheet saves it: a formula where a record goes, and its chain.
    const QString plantilla = carpeta.ruta(QString::fromLatin1(NombrePlantilla));
    auto e = EntradasZip(plantilla);
    e["xl/worksheets/sheet1.xml"].replace(
        "</sheetData>", "<row r=\"6\"><c r=\"C6\"><f>1+1</f><v>2</v></c></row></sheetData>");
    e["xl/calcChain.xml"] =
        "<calcChain xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
        "<c r=\"C6\" i=\"1\"/></calcChain>";
    e["xl/_rels/workbook.xml.rels"].replace(
        "</Relationships>",
        "<Relationship Id=\"rId9\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
        "relationships/calcChain\" Target=\"calcChain.xml\"/></Relationships>");
    e["[Content_Types].xml"].replace(
        "</Types>",
        "<Override PartName=\"/xl/calcChain.xml\" ContentType=\"application/"
        "vnd.openxmlformats-officedocument.spreadsheetml.calcChain+xml\"/></Types>");
    ASSERT_TRUE(EscribirZip(plantilla, e));

    auto c = Descargar(TipoDescarga::Manual, 1, 4);
    EXPECT_EQ(c["C6"].valor, "123.45");
    const auto hecho = EntradasZip(ruta);
    for (const char* parte : {"xl/_rels/workbook.xml.rels", "[Content_Types].xml"})
        EXPECT_FALSE(hecho.at(parte).contains("calcChain")) << parte;
    EXPECT_FALSE(hecho.count("xl/calcChain.xml") ||
                 hecho.at("xl/worksheets/sheet1.xml").contains("<f>"));
    EXPECT_TRUE(hecho.at("xl/workbook.xml").contains("<calcPr fullCalcOnLoad=\"1\"/></workbook>"));
}

// Totals leave no row for an entry without weighings, and never touch the records sheet.
TEST_F(Libro, TotalesSoloConPesadas) {
    Descargar(TipoDescarga::Manual, 1, 1);
    const QList<TotalProducto> pares{
        {{1, 1001, "Uno"}, {1.5, 1}}, {{1, 1002, "Dos"}, {0, 0}}, {{2, 1003, "Tres"}, {4.5, 3}}};
    EscribirTotales(ruta, pares);
    auto c = LeerHoja(ruta, QStringLiteral("Totales"));
    EXPECT_EQ(QStringList({c["B6"].valor, c["B7"].valor}), QStringList({"1001", "1003"}));
    EXPECT_FALSE(c["A8"].existe);
    EXPECT_EQ(LeerHoja(ruta, kHoja)["C6"].valor, "123.45");
    EXPECT_THROW(EscribirTotales(carpeta.ruta("no_hay.xlsx"), pares), ErrorAlmacenamiento);
}

}  // namespace
