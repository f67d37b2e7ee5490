// The application's dialogs take the texts of a new language file on a language change.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <functional>
#include <memory>

#include "app/ui/FrmAbout.h"
#include "app/ui/FrmInfo.h"
#include "app/ui/FrmLogin1.h"
#include "app/ui/FrmOptions.h"
#include "tests/support/CambioIdioma.h"
#include "tests/support/CarpetaTemporal.h"
#include "tests/support/InteraccionGuion.h"

TEST(VentanasTextos, UnCambioDeIdiomaRotulaDeNuevoLosDialogos) {
    InteraccionGuion operador;
    struct Caso {
        std::function<QWidget*()> crear;
        const char* control;
        QString espanol;
        QString ingles;
    };
    const Caso casos[] = {
        {[&] { return new frmAbout(nullptr, nullptr, &operador); }, "cmdSysInfo",
         QStringLiteral("&Información..."), QStringLiteral("&Information...")},
        {[] { return new frmInfo; }, "cmdCopiar", QStringLiteral("Copiar"), QStringLiteral("Copy")},
        {[&] { return new frmLogin1(nullptr, &operador); }, "lblLabels",
         QStringLiteral("Contraseña:"), QStringLiteral("Password:")},
        {[&] { return new frmOptions(nullptr, &operador); }, "cmdOK", QStringLiteral("Aceptar"),
         QStringLiteral("OK")},
    };
    for (const Caso& caso : casos) {
        CarpetaTemporal carpeta;
        std::unique_ptr<QWidget> ventana(caso.crear());
        QWidget* control = ventana->findChild<QWidget*>(QString::fromLatin1(caso.control));
        ASSERT_NE(control, nullptr) << caso.control;
        EXPECT_EQ(control->property("text").toString(), caso.espanol);
        PasarAIngles(carpeta, {ventana.get()});
        EXPECT_EQ(control->property("text").toString(), caso.ingles) << caso.control;
    }
}
