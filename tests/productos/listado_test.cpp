// The label job, the printed code list's pages and the CSV checks.
#include <gtest/gtest.h>

#include <QFile>

#include "products/IntercambioCSV.h"
#include "products/ListadoPLU.h"
#include "tests/support/CarpetaTemporal.h"

namespace {

TEST(Etiquetas, NamesAreTrimmedCentredAndCut) {
    const struct {
        const char* nombre;
        const char* etiqueta;
    } casos[] = {
        {"ABCDEFGHIJKLMNO", "ABCDEFGHIJKLMNO"},  // 15
        {"ABCDEFGHIJKLMNOPQRST", "ABCDEFGHIJKLMNO"},
        {"", "               "},
        {"AB", "      AB       "},
        {"ABCDEFGHIJKLM", " ABCDEFGHIJKLM "},
    };
    for (const auto& c : casos) EXPECT_EQ(NombreEtiqueta(c.nombre), c.etiqueta) << c.nombre;
    EXPECT_EQ(LineasEtiqueta({42, 1, " ABC ", "", ""}),
              QStringList({"FR\"VELA_CB\"", "?", "      ABC      ", "000042", "000042", "P1", ""}));
}

TEST(Etiquetas, JobsAreAppendedWithCrLfAndNeverThroughALink) {
    CarpetaTemporal carpeta;
    const QString ruta = carpeta.ruta("CB.txt");
    const QList<Producto> grupo{
        {1, 1, "Uno", "", ""}, {2, 1, "Dos", "", ""}, {3, 1, "Tres", "", ""}};
    ASSERT_TRUE(EscribirEtiquetas(ruta, grupo));
    ASSERT_TRUE(EscribirEtiquetas(ruta, grupo));
    const QByteArray contenido = carpeta.leer("CB.txt");
    EXPECT_EQ(contenido.count("\r\n"), 42);  // two jobs of three, no bare line feed
    EXPECT_EQ(contenido.count('\n'), 42);
    EXPECT_TRUE(contenido.startsWith("FR\"VELA_CB\"\r\n?\r\n      Uno      \r\n000001\r\n"));
    // An empty group writes nothing.
    ASSERT_TRUE(EscribirEtiquetas(carpeta.ruta("vacio.txt"), {}));
    EXPECT_FALSE(QFile::exists(carpeta.ruta("vacio.txt")));

    carpeta.escribir("otro.txt", "intacto");
    ASSERT_TRUE(QFile::link(carpeta.ruta("otro.txt"), carpeta.ruta("enlace.txt")));
    QString error;
    EXPECT_FALSE(EscribirEtiquetas(carpeta.ruta("enlace.txt"), grupo, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(carpeta.leer("otro.txt"), "intacto");
}

TEST(Listado, HeadingsOnEveryPageAndColumns) {
    QList<Producto> productos;
    for (int i = 1; i <= 120; ++i) productos.append({i, 2, "Producto", "123", ""});
    productos[1].Nombre = "Un nombre bastante largo";  // pushes the EAN to the next line
    const QList<PaginaListado> paginas = PaginasListado("Cliente", productos, "06/12/26", "20:01");
    ASSERT_EQ(paginas.size(), 3);  // 6 heading lines + 54 codes per page, 121 lines of codes
    for (const PaginaListado& p : paginas) {
        EXPECT_LE(p.size(), LineasPorPagina);
        const QStringList t = TextoPagina(p);
        EXPECT_EQ(t[1], QString(19, ' ') + "Listado de Codigos del grupo Cliente");
        EXPECT_EQ(t[3].indexOf("20:01"), 70);
        EXPECT_EQ(t[5], "  Codigo        Nombre            EAN");
    }
    const QStringList primera = TextoPagina(paginas[0]);
    EXPECT_EQ(primera[6], "       1      Producto                123");
    EXPECT_EQ(primera[7], "       2      Un nombre bastante largo");
    EXPECT_EQ(primera[8], QString(29, ' ') + "         123");
    // A group without codes: headings only.
    EXPECT_EQ(PaginasListado("G", {}, "d", "h").value(0).size(), 9);
}

TEST(CSV, ExportedTextReadsBackTheSame) {
    const QList<Producto> productos{{1, 1, "Café; \"fino\"", "", "é"},
                                    {999999, 8, "€ ñ", "20-3", ""}};
    const QByteArray csv = EscribirCSV(productos);
    EXPECT_TRUE(csv.startsWith("Codigo;Grupo;Nombre;EAN;Aux\r\n1;1;\"Café; \"\"fino\"\"\";;é\r\n"));
    const LecturaCSV l = LeerCSV(csv);
    EXPECT_TRUE(l.ok()) << l.errores.join('\n').toStdString();
    EXPECT_EQ(l.productos, productos);
}

TEST(CSV, CommaSeparatedWithColumnsInAnyOrder) {
    const LecturaCSV l =
        LeerCSV("\xEF\xBB\xBFnombre,CODIGO,grupo\n\nPan,12,3\r\n\"Leche, entera\",13,3\n");
    ASSERT_TRUE(l.ok()) << l.errores.join('\n').toStdString();
    ASSERT_EQ(l.productos.size(), 2);
    EXPECT_EQ(l.productos[1], (Producto{13, 3, "Leche, entera", "", ""}));
}

TEST(CSV, EveryRefusedLineIsReportedWithItsNumber) {
    const QByteArray texto =
        "Codigo;Grupo;Nombre;EAN;Aux\n"
        "1;1;Bien;;\n"
        "12a;1;Letras;;\n"
        "16777216;1;Grande;;\n"
        "16777215;9;Grupo;;\n"
        "5;1;" +
        QByteArray(47, 'n') +
        ";;\n"
        "6;1;EAN;1234567890123456;\n"
        "7;1;Aux;;ab\n"
        "8;1;Faltan\n"
        "9;1;Chino \xE4\xB8\xAD;;\n"
        "10;0;Cero;;\n";
    const LecturaCSV l = LeerCSV(texto);
    ASSERT_EQ(l.errores.size(), 9) << l.errores.join('\n').toStdString();
    for (int i = 0; i < 9; ++i)
        EXPECT_TRUE(l.errores[i].startsWith(QStringLiteral("Línea %1:").arg(i + 3)))
            << l.errores[i].toStdString();
    EXPECT_FALSE(LeerCSV("Codigo;Nombre\n1;x\n").ok());             // no group column
    EXPECT_FALSE(LeerCSV("Codigo;Grupo;Nombre\n1;1;\xFF\n").ok());  // not UTF-8

    QByteArray muchos = "Codigo;Grupo;Nombre\n";
    for (int i = 1; i <= 251; ++i) muchos += QByteArray::number(i) + ";1;P\n";
    EXPECT_FALSE(LeerCSV(muchos).ok());
}

}  // namespace
