#pragma once
// A language change as the main window makes it: the shipped English file becomes the data
// folder's Idioma.cfg and the open windows are told.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QWidget>
#include <initializer_list>

#include "tests/support/CarpetaTemporal.h"

inline void PasarAIngles(const CarpetaTemporal& carpeta, std::initializer_list<QWidget*> ventanas) {
    ASSERT_TRUE(QFile::copy(QStringLiteral(BASCORA_DIR_FUENTE "/share/English.idm"),
                            carpeta.ruta(QStringLiteral("Idioma.cfg"))));
    for (QWidget* ventana : ventanas) {
        QEvent cambio(QEvent::LanguageChange);
        QCoreApplication::sendEvent(ventana, &cambio);
    }
}

// A property of a window or of one of its controls, by objectName.
inline QString Propiedad(QWidget& ventana, const char* control, const char* propiedad) {
    QObject* o = ventana.objectName() == QLatin1String(control)
                     ? &ventana
                     : ventana.findChild<QObject*>(QLatin1String(control));
    EXPECT_NE(o, nullptr) << control;
    return o ? o->property(propiedad).toString() : QString();
}
