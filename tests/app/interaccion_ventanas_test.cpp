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

// Opens a box with `mostrar`, answers it with Enter (the preselected button) and describes it as
// "title|text|icon|buttons|preselected|answer".
QString Observar(const std::function<bool()>& mostrar) {
    QString caja = QStringLiteral("no box");
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        QPushButton* boton = box->defaultButton();
        caja = QStringLiteral("%1|%2|%3|%4|%5|")
                   .arg(box->windowTitle(), box->text())
                   .arg(static_cast<int>(box->icon()))
                   .arg(box->standardButtons().toInt(), 0, 16)
                   .arg(boton ? static_cast<int>(box->standardButton(boton)) : 0, 0, 16);
        boton ? boton->click() : box->reject();
    });
    const bool respuesta = mostrar();
    return caja + (respuesta ? "si" : "no");
}

TEST(InteraccionVentanas, ElBotonSeguroEstaPreseleccionado) {
    QWidget dueno;
    InteraccionVentanas op(&dueno);
    // Question 4, Warning 2, Critical 3; Yes 4000, No 10000, Ok 400, Cancel 400000.
    EXPECT_EQ(Observar([&] { return op.Preguntar("Desea cerrar?", "Salir", Icono::Pregunta); }),
              "Salir|Desea cerrar?|4|14000|10000|no");
    EXPECT_EQ(Observar([&] { return op.Preguntar("Seguir?", "T", Icono::Pregunta, true); }),
              "T|Seguir?|4|14000|4000|si");
    EXPECT_EQ(Observar([&] { return op.Confirmar("Borrar?", "T", Icono::Exclamacion); }),
              "T|Borrar?|2|400400|400000|no");
    EXPECT_TRUE(Observar([&] {
                    return op.Avisar("Fallo", "Error", Icono::Error), false;
                }).startsWith("Error|Fallo|3|400|"));
}

}  // namespace
