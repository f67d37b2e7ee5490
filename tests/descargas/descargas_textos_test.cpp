// The download windows take the texts of a new language file on a language change, the connection
// state of the scheduled window included.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QLabel>
#include <QPushButton>

#include "link/Enlace.h"
#include "tests/support/CambioIdioma.h"
#include "tests/support/CarpetaTemporal.h"
#include "tests/support/InteraccionGuion.h"
#include "weighings/BajadaAuto.h"
#include "weighings/ui/FrmAuto.h"
#include "weighings/ui/FrmPesadas.h"

namespace {

struct EnlaceMudo : Enlace {
    void Solicitar(PeticionEnlace&) override {}
};

}  // namespace

TEST(DescargasTextos, UnCambioDeIdiomaRotulaDeNuevoLasVentanasAbiertas) {
    EnlaceMudo enlace;
    InteraccionGuion operador;
    {
        CarpetaTemporal carpeta;
        frmPesadas pesadas(nullptr, &enlace, &operador);
        PasarAIngles(carpeta, {&pesadas});
        EXPECT_EQ(pesadas.findChild<QPushButton*>(QStringLiteral("CmdLeer"))->text(),
                  QStringLiteral("Retrieve"));
    }
    {
        CarpetaTemporal carpeta;
        frmAuto automatica(nullptr, &enlace, &operador);
        // The state shown comes from the download in Spanish; it follows the language too.
        Q_EMIT automatica.nucleo()->estadoConexion(QStringLiteral("Conectado"));
        PasarAIngles(carpeta, {&automatica});
        EXPECT_EQ(automatica.findChild<QLabel*>(QStringLiteral("LblEstado"))->text(),
                  QStringLiteral("Connected"));
    }
}
