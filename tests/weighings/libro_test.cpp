#include <gtest/gtest.h>

#include <QDate>
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

TEST_F(Libro, DescargaManualTresFilasConFechasReales) {
    auto c = Descargar(TipoDescarga::Manual, 3, 41);
    EXPECT_EQ(ruta, "Datos1.xlsx");
    // Header: today's date as a date serial, the batch number below it.
    const double hoy = QDate(1899, 12, 30).daysTo(QDate::currentDate());
    EXPECT_DOUBLE_EQ(c["H2"].valor.toDouble(), hoy);
    EXPECT_EQ(c["H2"].formato, "dd/mm/yyyy");
    EXPECT_EQ(c["H3"].valor, "41");
    EXPECT_FALSE(c["K2"].existe);
    EXPECT_EQ(c["A6"].valor, "38710");  // 24/12/2005
    EXPECT_EQ(c["A6"].formato, "dd/mm/yyyy");
    EXPECT_NEAR(c["B6"].valor.toDouble(), 9.5 / 24, 1e-12);
    EXPECT_EQ(c["B6"].formato, "h:mm:ss");
    EXPECT_EQ(c["D6"].tipo, "inlineStr");
    EXPECT_EQ(c["D6"].valor, "ABC   ");  // blanks of character codes kept
    EXPECT_EQ(c["F6"].valor, "a<b>&c");
    EXPECT_EQ(c["G6"].valor, "_x0001__x005F_x0041_");  // XML-safe spreadsheet escapes
    EXPECT_EQ(c["I8"].valor, "999");
    EXPECT_FALSE(c["A9"].existe);
    EXPECT_EQ(c["A5"].valor, "Fecha");  // the template's own cells are still there
}

TEST_F(Libro, DescargaProgramadaUsaColumnaKYHorasConCero) {
    Fecha_Frm = QStringLiteral("YYYY-MM-DD");
    o.nombreLibro = QStringLiteral("   ");
    auto c = Descargar(TipoDescarga::Programada, 1, 12);
    EXPECT_EQ(ruta, "00000012.xlsx");
    EXPECT_EQ(c["K2"].formato, "yyyy-mm-dd");
    EXPECT_FALSE(c["H2"].existe);
    EXPECT_EQ(c["B6"].formato, "hh:mm:ss");
}

TEST_F(Libro, CadaDescargaCopiaLaPlantillaDeNuevo) {
    Descargar(TipoDescarga::Manual, 3, 1);
    // A date or a time that is not one stays as text.
    Pesada p = Ejemplo(3, 1);
    p.Fecha = QStringLiteral("1A/12/05");
    p.Hora = QStringLiteral("25:99");
    Sumideros s(TipoDescarga::Manual, o);
    s.Abrir(3);
    s.Agregar(p);
    s.Cerrar();
    auto c = LeerHoja(ruta, kHoja);
    EXPECT_EQ(c["A6"].tipo, "inlineStr");
    EXPECT_EQ(c["A6"].valor, "1A/12/05");
    EXPECT_EQ(c["B6"].valor, "25:99");

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
    Descargar(TipoDescarga::Manual, 1, 7);
    Sumideros repetida(TipoDescarga::Manual, o);
    EXPECT_THROW(repetida.Abrir(7), ErrorAlmacenamiento);
}

TEST_F(Libro, FallosDeAlmacenamientoAlAbrir) {
    auto rechazada = [&] {
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
    o.ruta = QStringLiteral("no_existe/");
    rechazada();
    o.ruta.clear();
    QFile::remove(carpeta.ruta(plantilla));
    rechazada();
    // Not a workbook at all: refused at the start, not when the batch is closed.
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
    EXPECT_FALSE(hecho.count("xl/calcChain.xml"));
    EXPECT_FALSE(hecho.at("xl/_rels/workbook.xml.rels").contains("calcChain"));
    EXPECT_FALSE(hecho.at("[Content_Types].xml").contains("calcChain"));
    EXPECT_FALSE(hecho.at("xl/worksheets/sheet1.xml").contains("<f>"));
    EXPECT_TRUE(hecho.at("xl/workbook.xml").contains("<calcPr fullCalcOnLoad=\"1\"/></workbook>"));
}

TEST_F(Libro, TotalesSoloConPesadas) {
    Descargar(TipoDescarga::Manual, 1, 1);
    QList<TotalProducto> pares;
    for (int i = 1; i <= 250; ++i) {
        TotalProducto t;
        t.producto = {i % 8 + 1, 1000 + i, QStringLiteral("Producto %1").arg(i)};
        t.entrada = {i * 1.5, i % 3 == 0 ? 0 : i};
        pares.append(t);
    }
    EscribirTotales(ruta, pares);
    auto c = LeerHoja(ruta, QStringLiteral("Totales"));
    EXPECT_EQ(c["B6"].valor, "1001");
    EXPECT_EQ(c["B8"].valor, "1004");  // entry 3 has no weighings and leaves no row
    const int conPesadas = 250 - 250 / 3;
    EXPECT_TRUE(c["E" + QString::number(5 + conPesadas)].existe);
    EXPECT_FALSE(c["A" + QString::number(6 + conPesadas)].existe);
    // The records sheet is untouched by the totals.
    EXPECT_EQ(LeerHoja(ruta, kHoja)["C6"].valor, "123.45");

    EXPECT_THROW(EscribirTotales(carpeta.ruta("no_hay.xlsx"), pares), ErrorAlmacenamiento);
}

TEST(Plantilla, LaPlantillaDistribuidaEsLaDelPrograma) {
    CarpetaTemporal carpeta;
    const QString nueva = carpeta.ruta("nueva.xlsx");
    ASSERT_TRUE(CrearPlantilla(nueva));
    const QString distribuida = QStringLiteral(BASCORA_DIR_FUENTE "/share/PlantillaBascora.xlsx");
    if (qEnvironmentVariableIsSet("BASCORA_REGENERAR_PLANTILLA")) {
        QFile::remove(distribuida);
        ASSERT_TRUE(QFile::copy(nueva, distribuida));
    }
    const auto a = EntradasZip(nueva);
    const auto b = EntradasZip(distribuida);
    EXPECT_EQ(a.size(), b.size());
    for (const auto& [nombre, datos] : a) {
        EXPECT_TRUE(b.count(nombre) && b.at(nombre) == datos)
            << nombre.toStdString()
            << ": share/PlantillaBascora.xlsx is out of date, run this test with "
               "BASCORA_REGENERAR_PLANTILLA=1";
    }
    EXPECT_FALSE(CrearPlantilla(carpeta.ruta("no_existe/x.xlsx")));
}

TEST(FormatoNumeroFecha, PatronesDeLaConfiguracion) {
    EXPECT_EQ(FormatoNumeroFecha(QStringLiteral("d-mmm-yy")), "d-mmm-yy");
    EXPECT_EQ(FormatoNumeroFecha(QStringLiteral("DD \"de\" MM")), "dd \"de\" mm");
    EXPECT_EQ(FormatoNumeroFecha(QStringLiteral("DD\\hMM")), "dd\\hmm");
    EXPECT_EQ(FormatoNumeroFecha(QStringLiteral("DD_MM")), "dd\\_mm");
}

}  // namespace
