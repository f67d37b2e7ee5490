// The label job, the printed code list's pages and the CSV checks.
#include <gtest/gtest.h>

#include <QFile>

#include "products/IntercambioCSV.h"
#include "products/ListadoPLU.h"
#include "tests/support/CarpetaTemporal.h"

namespace {

// Names are trimmed, centred in 15 and cut; jobs are appended with CR LF, an empty group writes
// nothing, and a symbolic link is never written through.
TEST(Etiquetas, JobsAreAppendedWithCrLfAndNeverThroughALink) {
    EXPECT_EQ(NombreEtiqueta("ABCDEFGHIJKLMNOPQRST"), "ABCDEFGHIJKLMNO");
    CarpetaTemporal carpeta;
    const QString ruta = carpeta.ruta("CB.txt");
    const QList<Producto> grupo{{42, 1, " ABC ", "", ""}, {2, 1, "Dos", "", ""}};
    ASSERT_TRUE(EscribirEtiquetas(ruta, grupo));
    ASSERT_TRUE(EscribirEtiquetas(ruta, grupo));
    const QByteArray contenido = carpeta.leer("CB.txt");
    EXPECT_EQ(contenido.count("\r\n"), 28);  // two jobs of two, no bare line feed
    EXPECT_EQ(contenido.count('\n'), 28);
    EXPECT_TRUE(contenido.startsWith(
        "FR\"VELA_CB\"\r\n?\r\n      ABC      \r\n000042\r\n000042\r\nP1\r\n\r\n"));
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
        EXPECT_EQ(TextoPagina(p)[1], QString(19, ' ') + "Listado de Codigos del grupo Cliente");
    }
    const QStringList primera = TextoPagina(paginas[0]);
    EXPECT_EQ(primera[6], "       1      Producto                123");
    EXPECT_EQ(primera[7], "       2      Un nombre bastante largo");
    EXPECT_EQ(primera[8], QString(29, ' ') + "         123");
}

// Any column order, separator, BOM, quotes; every refused line is reported with its number.
TEST(CSV, ReadsBackWhatItWritesAndReportsEveryRefusedLine) {
    const QList<Producto> productos{{1, 1, "Café; \"fino\"", "", "é"},
                                    {999999, 8, "€ ñ", "20-3", ""}};
    const LecturaCSV l = LeerCSV(EscribirCSV(productos));
    EXPECT_TRUE(l.ok()) << l.errores.join('\n').toStdString();
    EXPECT_EQ(l.productos, productos);
    const LecturaCSV c =
        LeerCSV("\xEF\xBB\xBFnombre,CODIGO,grupo\n\nPan,12,3\r\n\"Leche, entera\",13,3\n");
    ASSERT_TRUE(c.ok()) << c.errores.join('\n').toStdString();
    EXPECT_EQ(c.productos.value(1), (Producto{13, 3, "Leche, entera", "", ""}));

    const QByteArray texto =
        "Codigo;Grupo;Nombre;EAN;Aux\n1;1;Bien;;\n16777216;1;Grande;;\n"
        "16777215;9;Grupo;;\n5;1;" +
        QByteArray(47, 'n') +
        ";;\n6;1;EAN;1234567890123456;\n7;1;Aux;;ab\n8;1;Faltan\n9;1;Chino \xE4\xB8\xAD;;\n";
    const LecturaCSV e = LeerCSV(texto);
    ASSERT_EQ(e.errores.size(), 7) << e.errores.join('\n').toStdString();
    for (int i = 0; i < 7; ++i)
        EXPECT_TRUE(e.errores[i].startsWith(QStringLiteral("Línea %1:").arg(i + 3)))
            << e.errores[i].toStdString();
    EXPECT_FALSE(LeerCSV("Codigo;Nombre\n1;x\n").ok());             // no group column
    EXPECT_FALSE(LeerCSV("Codigo;Grupo;Nombre\n1;1;\xFF\n").ok());  // not UTF-8
    QByteArray muchos = "Codigo;Grupo;Nombre\n";
    for (int i = 1; i <= 251; ++i) muchos += QByteArray::number(i) + ";1;P\n";
    EXPECT_FALSE(LeerCSV(muchos).ok());
}

}  // namespace
