// The live weight and setup windows take the texts of a new language file on a language change.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QLabel>
#include <QPushButton>

#include "link/ClienteEnlace.h"
#include "tests/support/CambioIdioma.h"
#include "tests/support/CarpetaTemporal.h"
#include "tests/support/InteraccionGuion.h"
#include "weight/ui/FrmPeso.h"
#include "weight/ui/FrmSetup.h"

namespace {}  // namespace

TEST(PesoTextos, UnCambioDeIdiomaRotulaDeNuevoLasVentanasAbiertas) {
    InteraccionGuion operador;
    {
        CarpetaTemporal carpeta;
        ClienteEnlace cliente;  // never asked: no event loop runs, so the poll never fires
        frmPeso peso(&operador, nullptr, &cliente);
        PasarAIngles(carpeta, {&peso});
        EXPECT_EQ(peso.findChild<QLabel*>(QStringLiteral("Label2"))->text(),
                  QStringLiteral("Gross"));
        peso.close();
    }
    {
        CarpetaTemporal carpeta;
        frmSetup setup(&operador);
        PasarAIngles(carpeta, {&setup});
        EXPECT_EQ(setup.findChild<QPushButton*>(QStringLiteral("cmd_Impri"))->text(),
                  QStringLiteral("Print"));
    }
}
