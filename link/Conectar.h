#pragma once
// The connect test: is the indicator there? It reads the weight block and, when that gets no
// proper answer, sends ":M", whose 90-byte answer is the indicator's setup; that is kept in section
// "Setup" of bascora.ini for the setup viewer.

#include <QByteArray>
#include <QString>
#include <functional>

class Enlace;
class Interaccion;

// 1 when the indicator answered, 0 when not.
int conec(Enlace& enlace);

// Stores a 90-byte ":M" answer as keys "1" to "78" of section "Setup". False (and nothing written)
// for any other length.
bool GuardarSetup(const QByteArray& respuesta);

// The connect command of the main window: status texts through mostrarEstado, the failure
// message through the operator interface. Returns the outcome of conec.
bool ComandoConectar(Enlace& enlace, Interaccion& interaccion,
                     std::function<void(const QString&)> mostrarEstado);
