// The message boxes of the program: the safe button is the one preselected, so a stray Enter never
// confirms a question.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <functional>

#include "app/ui/InteraccionVentanas.h"

namespace {

struct Caja {
    QMessageBox::Icon icono = QMessageBox::NoIcon;
    QString texto;
    QString titulo;
    QMessageBox::StandardButton porDefecto = QMessageBox::NoButton;
    QMessageBox::StandardButtons botones;
};

// Looks at the box that `mostrar` opens and answers it with Enter, i.e. the preselected button.
Caja Observar(const std::function<void()>& mostrar) {
    Caja caja;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        caja.icono = box->icon();
        caja.texto = box->text();
        caja.titulo = box->windowTitle();
        caja.botones = box->standardButtons();
        if (QPushButton* b = box->defaultButton()) {
            caja.porDefecto = box->standardButton(b);
            b->click();
        } else {
            box->reject();
        }
    });
    mostrar();
    return caja;
}

}  // namespace

TEST(InteraccionVentanas, PreguntarPreseleccionaNoSalvoQueSePidaSi) {
    QWidget dueno;
    InteraccionVentanas operador(&dueno);
    bool respuesta = true;
    Caja caja = Observar([&] {
        respuesta = operador.Preguntar("Desea cerrar la ventana?", "Salir", Icono::Pregunta);
    });
    EXPECT_EQ(caja.botones, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(caja.porDefecto, QMessageBox::No);
    EXPECT_EQ(caja.icono, QMessageBox::Question);
    EXPECT_EQ(caja.texto, "Desea cerrar la ventana?");
    EXPECT_EQ(caja.titulo, "Salir");
    EXPECT_FALSE(respuesta);

    caja = Observar([&] { respuesta = operador.Preguntar("Seguir?", "T", Icono::Pregunta, true); });
    EXPECT_EQ(caja.porDefecto, QMessageBox::Yes);
    EXPECT_TRUE(respuesta);
}

TEST(InteraccionVentanas, ConfirmarPreseleccionaCancelarYAvisarMuestraSuIcono) {
    InteraccionVentanas operador;
    bool respuesta = true;
    Caja caja =
        Observar([&] { respuesta = operador.Confirmar("Borrar?", "T", Icono::Exclamacion); });
    EXPECT_EQ(caja.botones, QMessageBox::Ok | QMessageBox::Cancel);
    EXPECT_EQ(caja.porDefecto, QMessageBox::Cancel);
    EXPECT_EQ(caja.icono, QMessageBox::Warning);
    EXPECT_FALSE(respuesta);

    caja = Observar([&] { operador.Avisar("Fallo", "Error", Icono::Error); });
    EXPECT_EQ(caja.icono, QMessageBox::Critical);
    EXPECT_EQ(caja.botones, QMessageBox::Ok);
    caja = Observar([&] { operador.Avisar("Listo", "Bascora", Icono::Informacion); });
    EXPECT_EQ(caja.icono, QMessageBox::Information);
}
