// The report windows take the texts of a new language file on a language change, the position
// caption of the report included.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QLabel>
#include <QPushButton>

#include "reports/ui/FrmFiltro.h"
#include "reports/ui/FrmReporte.h"
#include "tests/support/CambioIdioma.h"
#include "tests/support/CarpetaTemporal.h"
#include "tests/support/InteraccionGuion.h"

namespace {}  // namespace

TEST(ReporteTextos, UnCambioDeIdiomaRotulaDeNuevoLasVentanasAbiertas) {
    InteraccionGuion operador;
    {
        CarpetaTemporal carpeta;  // no database: the report opens empty, after its message
        frmReporte reporte(nullptr, &operador);
        auto* posicion = reporte.findChild<QWidget*>(QStringLiteral("Data1"));
        EXPECT_EQ(posicion->property("caption").toString(), QStringLiteral("Pesada: 0/0"));
        PasarAIngles(carpeta, {&reporte});
        EXPECT_EQ(reporte.findChild<QPushButton*>(QStringLiteral("CmdBorrar"))->text(),
                  QStringLiteral("Delete"));
        EXPECT_EQ(posicion->property("caption").toString(), QStringLiteral("Weighing: 0/0"));
    }
    {
        CarpetaTemporal carpeta;
        frmFiltro filtro(QStringLiteral("Peso"), TipoFiltro::Numero, nullptr, &operador);
        PasarAIngles(carpeta, {&filtro});
        EXPECT_EQ(filtro.findChild<QLabel*>(QStringLiteral("LblDesde"))->text(),
                  QStringLiteral("From:"));
    }
}
