#pragma once
// Everything a core procedure asks or tells the operator goes through this interface: message
// boxes in the program, a scripted fake in the tests, the terminal in bascora-cli.

#include <QString>

enum class Icono { Ninguno, Pregunta, Advertencia, Exclamacion, Error, Informacion };

class Interaccion {
  public:
    virtual ~Interaccion() = default;

    // Yes/No question; No is preselected unless porDefectoSi. True for Yes.
    virtual bool Preguntar(const QString& texto, const QString& titulo, Icono icono,
                           bool porDefectoSi = false) = 0;
    // OK/Cancel question, Cancel preselected. True for OK.
    virtual bool Confirmar(const QString& texto, const QString& titulo, Icono icono) = 0;
    // A message with one OK button.
    virtual void Avisar(const QString& texto, const QString& titulo, Icono icono) = 0;
    // A file to open; the empty text when the operator cancels. filtro as in "Name (*.ext)".
    virtual QString ElegirArchivo(const QString& titulo, const QString& filtro) = 0;
};
