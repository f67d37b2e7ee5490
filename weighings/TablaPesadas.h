#pragma once
// The table sink: every weighing becomes one row of the weighing table, stored at once.

#include <QString>
#include <QVariant>
#include <memory>

#include "weighings/Pesada.h"

class CDatos;

// The leading numeric value of a code text (blanks before it skipped, an optional sign, digits,
// an optional fraction); 0 when the text does not start with a number. Whole values come back
// as integers.
QVariant ValorNumericoInicial(const QString& texto);

class TablaPesadas {
  public:
    TablaPesadas();
    ~TablaPesadas();

    void Abrir();                        // DataCSReporte / DataTbReporte ordered by Lote, Numero
    void Agregar(const Pesada& pesada);  // a refused duplicate (Lote, Numero) is reported as such
    void Cerrar();
    void Abortar() noexcept;

  private:
    std::unique_ptr<CDatos> datos_;
};
