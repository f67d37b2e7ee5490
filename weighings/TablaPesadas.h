#pragma once
// The table sink: every weighing becomes one row of the weighing table, with bound values. The
// batch is one transaction, committed when it closes and rolled back when it fails or is cut off
// by a crash: its records are still in the indicator, and the next download stores them once.

#include <QSqlDatabase>
#include <QString>
#include <QVariant>
#include <memory>

#include "weighings/Pesada.h"

class QSqlQuery;

// The leading numeric value of a code text (blanks before it skipped, an optional sign, digits,
// an optional fraction); 0 when the text does not start with a number. Whole values come back
// as integers.
QVariant ValorNumericoInicial(const QString& texto);

class TablaPesadas {
  public:
    TablaPesadas();
    ~TablaPesadas();

    // DataCSReporte / DataTbReporte; opens the batch's transaction and reads the highest Lote.
    void Abrir();
    long long loteMaximo() const { return loteMaximo_; }
    // Stores the row unless a weighing with the same Secuencia, Fecha, Hora, Peso and codes is
    // there already (false then). A refused duplicate (Lote, Numero) is reported as such.
    bool Agregar(const Pesada& pesada);
    void Cerrar();
    void Abortar() noexcept;

  private:
    // Any number, the same on every PC: the advisory lock that serialises batch numbers.
    static constexpr long long kCandadoLote = 0x42617363;
    bool YaGuardada(const Pesada& p);
    bool Confirmar() noexcept;  // commits the batch; false when the engine refused
    void Soltar() noexcept;

    QSqlDatabase db_;
    std::unique_ptr<QSqlQuery> insertar_;
    std::unique_ptr<QSqlQuery> existe_;
    bool transaccion_ = false;
    bool conSecuencia_ = false;
    bool conFechaIso_ = false;
    long long loteMaximo_ = 0;
};
