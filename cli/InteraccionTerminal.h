#pragma once
// The operator on the terminal, for the commands of bascora-cli: messages are printed (errors and
// warnings on stderr, the rest on stdout) and questions take a fixed answer or, when asked to and
// stdin is a terminal, the operator's typed answer.

#include <QString>

#include "base/Interaccion.h"

class InteraccionTerminal : public Interaccion {
  public:
    enum class Respuesta {
        Si,        // every question is answered Yes / OK
        No,        // every question is answered No / Cancel
        Preguntar  // asked on the terminal; No / Cancel when stdin is not a terminal
    };

    explicit InteraccionTerminal(Respuesta respuesta = Respuesta::No);

    bool Preguntar(const QString& texto, const QString& titulo, Icono icono,
                   bool porDefectoSi = false) override;
    bool Confirmar(const QString& texto, const QString& titulo, Icono icono) override;
    void Avisar(const QString& texto, const QString& titulo, Icono icono) override;
    // There is no file dialog on the terminal: always "" (cancelled).
    QString ElegirArchivo(const QString& titulo, const QString& filtro) override;

  private:
    bool Responder(const QString& texto, const QString& titulo, bool porDefectoSi,
                   const char* opciones);

    Respuesta respuesta_;
};
