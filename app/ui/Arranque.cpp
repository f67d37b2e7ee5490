#include "app/ui/Arranque.h"

#include <QApplication>
#include <QPointer>

#include "app/ui/FrmPrincipal.h"
#include "weighings/ui/FrmAuto.h"

bool AbrirVentanaAuto() {
    auto* ventana = new frmAuto;
    ventana->setAttribute(Qt::WA_DeleteOnClose);
    // Closing the scheduled download shows the main window (before this one goes away, so the
    // program does not end with its last window).
    QObject::connect(ventana, &frmAuto::cerrada, [] { VentanaPrincipal().Abrir(); });
    ventana->show();
    return true;
}

FrmPrincipal& VentanaPrincipal() {
    static QPointer<FrmPrincipal> principal;
    if (!principal) {
        principal = new FrmPrincipal;
        principal->setAttribute(Qt::WA_DeleteOnClose);
        // Closing the main window ends the program with every other window.
        QObject::connect(principal, &FrmPrincipal::Cerrada, qApp, [] {
            QApplication::closeAllWindows();
            QApplication::quit();
        });
    }
    return *principal;
}
