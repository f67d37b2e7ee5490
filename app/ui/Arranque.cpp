#include "app/ui/Arranque.h"

#include <QApplication>
#include <QPointer>

#include "app/ui/FrmPrincipal.h"

bool AbrirVentanaAuto() {
    return false;  // window not built yet
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
