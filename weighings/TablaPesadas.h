#pragma once
// The table sink: every weighing becomes one row of the weighing table. The batch is one
// transaction, committed when it closes and also when it stops half way, so the rows before a
// failure stay; a batch cut off by a crash leaves no rows (its records are still in the indicator).

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
    bool Confirmar() noexcept;  // commits the batch; false when the engine refused

    std::unique_ptr<CDatos> datos_;
    bool transaccion_ = false;
};
