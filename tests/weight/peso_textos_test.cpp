// The live weight and setup windows take the texts of a new language file on a language change.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QLabel>
#include <QPushButton>

#include "link/ClienteEnlace.h"
#include "tests/support/CarpetaTemporal.h"
#include "tests/support/InteraccionGuion.h"
#include "weight/ui/FrmPeso.h"
#include "weight/ui/FrmSetup.h"

namespace {

void CambiarIdioma(QWidget& ventana, const CarpetaTemporal& carpeta) {
    ASSERT_TRUE(QFile::copy(QStringLiteral(BASCORA_DIR_FUENTE "/share/English.idm"),
                            carpeta.ruta(QStringLiteral("Idioma.cfg"))));
    QEvent cambio(QEvent::LanguageChange);
    QCoreApplication::sendEvent(&ventana, &cambio);
}

}  // namespace

TEST(PesoTextos, UnCambioDeIdiomaRotulaDeNuevoLasVentanasAbiertas) {
    InteraccionGuion operador;
    {
        CarpetaTemporal carpeta;
        ClienteEnlace cliente;  // never asked: no event loop runs, so the poll never fires
        frmPeso peso(&operador, nullptr, &cliente);
        CambiarIdioma(peso, carpeta);
        EXPECT_EQ(peso.findChild<QLabel*>(QStringLiteral("Label2"))->text(),
                  QStringLiteral("Gross"));
        peso.close();
    }
    {
        CarpetaTemporal carpeta;
        frmSetup setup(&operador);
        CambiarIdioma(setup, carpeta);
        EXPECT_EQ(setup.findChild<QPushButton*>(QStringLiteral("cmd_Impri"))->text(),
                  QStringLiteral("Print"));
    }
}
