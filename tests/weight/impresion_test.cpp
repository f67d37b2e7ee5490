// The printing layer, read back from its PDF with pdftotext -layout: columns counted in
// characters, tabs to an earlier column, the path told, a failing destination.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>

#include "app/ui/Impresion.h"
#include "tests/support/CarpetaTemporal.h"
#include "tests/support/InteraccionGuion.h"
#include "tests/weight/LeerPdf.h"

namespace {

// Columns at full length are checked through the setup printout (frm_setup_test); here the rules
// it does not use: a tab to an earlier column opens a new line, and the file's path is told.
TEST(Impresion, TabBackOpensALineAndThePathIsTold) {
    CarpetaTemporal carpeta;
    InteraccionGuion operador;
    QString ruta;
    {
        Impresion imp(operador, Impresion::Destino::Pdf);
        ASSERT_TRUE(imp.Iniciar(QStringLiteral("prueba")));
        imp.Imprimir(QString(40, QLatin1Char('-')));
        imp.Tab(20);
        imp.Imprimir(QStringLiteral("ABC"), true);
        imp.Tab(10);  // already past column 10: a new line
        imp.Imprimir(QStringLiteral("XYZ"));
        ASSERT_TRUE(imp.Terminar());
        ruta = imp.RutaPdf();
    }
    EXPECT_EQ(QFileInfo(ruta).absolutePath(), QDir::current().absolutePath());
    ASSERT_EQ(operador.mensajes.size(), 1);
    EXPECT_TRUE(operador.mensajes[0].texto.contains(ruta))
        << operador.mensajes[0].texto.toStdString();
    EXPECT_EQ(operador.mensajes[0].icono, Icono::Informacion);

    const QStringList lineas = LineasPdf(ruta);
    ASSERT_EQ(lineas.size(), 3) << lineas.join('\n').toStdString();
    EXPECT_EQ(lineas[1].indexOf("ABC"), 19);
    EXPECT_EQ(lineas[2].indexOf("XYZ"), 9);
}

// Two prints in one second keep both files; a long document goes on to more pages.
TEST(Impresion, TwoPrintsInOneSecondAndALongDocument) {
    CarpetaTemporal carpeta;
    InteraccionGuion operador;
    QStringList rutas;
    for (int lineas : {1, 150}) {
        Impresion imp(operador, Impresion::Destino::Pdf);
        ASSERT_TRUE(imp.Iniciar());
        for (int i = 1; i <= lineas; ++i) imp.Imprimir(QStringLiteral("linea %1").arg(i));
        ASSERT_TRUE(imp.Terminar());
        rutas.append(imp.RutaPdf());
    }
    EXPECT_NE(rutas[0], rutas[1]);
    EXPECT_EQ(LineasPdf(rutas[0]), QStringList{"linea 1"});
    EXPECT_TRUE(LineasPdf(rutas[1]).contains("linea 150"));
    const QString info = SalidaDe(QStringLiteral("pdfinfo"), {rutas[1]});
    EXPECT_TRUE(info.contains(QRegularExpression("Pages:\\s+[2-9]\\n"))) << info.toStdString();
}

TEST(Impresion, AnUnwritableDestinationIsReportedAndNothingPrints) {
    CarpetaTemporal carpeta;
    // No one, root included, can create a file in /proc: the data folder is there.
    const auto anterior =
        ContextoCarpeta::reemplazar(std::make_shared<ContextoCarpeta>(QStringLiteral("/proc")));
    InteraccionGuion operador;
    {
        Impresion imp(operador, Impresion::Destino::Pdf);
        EXPECT_FALSE(imp.Iniciar());
        EXPECT_FALSE(imp.Activa());
        imp.Imprimir(QStringLiteral("nada"));  // harmless after the failure
        EXPECT_FALSE(imp.Terminar());
    }
    ASSERT_EQ(operador.mensajes.size(), 1);
    EXPECT_EQ(operador.mensajes[0].icono, Icono::Error);
    EXPECT_TRUE(operador.mensajes[0].texto.startsWith("No se pudo imprimir en"));
    ContextoCarpeta::reemplazar(anterior);
}

}  // namespace
