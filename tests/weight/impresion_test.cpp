// The printing layer writing PDFs: two prints in one second keep both files, a long document
// goes on to more pages, and a destination that cannot be written is reported.
#include <gtest/gtest.h>

#include <QRegularExpression>

#include "app/ui/Impresion.h"
#include "settings/ContextoCarpeta.h"
#include "tests/support/CarpetaTemporal.h"
#include "tests/support/InteraccionGuion.h"
#include "tests/weight/LeerPdf.h"

namespace {

TEST(Impresion, TwoPrintsInOneSecondALongDocumentAndAnUnwritableDestination) {
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
    EXPECT_EQ(LineasPdf(rutas[0]), QStringList{"linea 1"});
    EXPECT_TRUE(LineasPdf(rutas[1]).contains("linea 150"));
    const QString info = SalidaDe(QStringLiteral("pdfinfo"), {rutas[1]});
    EXPECT_TRUE(info.contains(QRegularExpression("Pages:\\s+[2-9]\\n"))) << info.toStdString();
    EXPECT_TRUE(operador.mensajes[0].texto.contains(rutas[0]));  // the path is told

    // No one, root included, can create a file in /proc: the data folder is there.
    const auto anterior =
        ContextoCarpeta::reemplazar(std::make_shared<ContextoCarpeta>(QStringLiteral("/proc")));
    operador.mensajes.clear();
    {
        Impresion imp(operador, Impresion::Destino::Pdf);
        EXPECT_FALSE(imp.Iniciar());
        imp.Imprimir(QStringLiteral("nada"));  // harmless after the failure
        EXPECT_FALSE(imp.Terminar());
    }
    ASSERT_EQ(operador.mensajes.size(), 1);
    EXPECT_EQ(operador.mensajes[0].icono, Icono::Error);
    ContextoCarpeta::reemplazar(anterior);
}

}  // namespace
