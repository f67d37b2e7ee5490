#pragma once
// The export sinks of a download: the workbook copied from the template, the plain text file and
// the weighing table. A batch is opened, fed one Pesada at a time and closed; any failure raises
// ErrorAlmacenamiento, after which Abortar closes what is open and keeps what was written.

#include <QString>
#include <memory>
#include <stdexcept>

#include "weighings/Pesada.h"

enum class TipoDescarga { Manual, Programada };

// Which sinks are active and how they are named, as the settings give them at the download's start.
struct OpcionesSalida {
    bool libro = false;              // FormatoExcel
    bool plano = false;              // ArchivoPlano
    bool tabla = false;              // FormatoAccess
    QString separador;               // one character, from the code in Separador
    bool separadorSupuesto = false;  // Separador empty or not a code 0..255: ";" is used
    QString extension;               // Extension
    QString ruta;                    // Ruta, put in front of the file names as it is
    QString nombreLibro;             // NombreExcel, trimmed; blank = the batch number in 8 digits
    QString nombrePlano;             // NombreTXT
};

// Reads the sink settings (sections "Global" and "Opciones").
OpcionesSalida LeerOpcionesSalida();

// A yes/no setting: "True"/"False" in any case, or a number (nonzero is yes); anything else is no.
bool ValorBooleano(const QString& texto);

// Time spent in each sink since the batch was opened (benchmarks).
struct TiemposSumideros {
    qint64 libroNs = 0;
    qint64 planoNs = 0;
    qint64 tablaNs = 0;
};

class ErrorAlmacenamiento : public std::runtime_error {
  public:
    ErrorAlmacenamiento(const QString& descripcion, bool claveDuplicada);
    QString descripcion() const { return descripcion_; }
    bool esClaveDuplicada() const { return claveDuplicada_; }

  private:
    QString descripcion_;
    bool claveDuplicada_;
};

// Takes the next batch number: the larger of the setting "Lote" and `minimo` (the highest batch
// of the weighing table), plus 1, stored back and read back before anything is written, so that a
// batch number is never used twice (a failed download leaves a gap). 0 with *error when the
// setting could not be stored.
long long TomarLote(long long minimo, QString* error);

// True when a storage failure is the table refusing a duplicate (Lote, Numero).
bool FalloPorClaveDuplicada(const std::exception& error);

class Sumideros {
  public:
    Sumideros(TipoDescarga tipo, OpcionesSalida opciones);
    ~Sumideros();

    // Opens the table's transaction (serialised between PCs sharing the table) before the batch
    // number is taken; loteMaximoTabla() is then the highest batch the table holds.
    void Preparar();
    long long loteMaximoTabla() const;
    void Abrir(long long lote);  // workbook, text file, table (Preparar when not done yet)
    // One row in each active sink that does not hold this weighing yet (an earlier download whose
    // delete failed stored it). False when it was already stored.
    bool Agregar(const Pesada& pesada);
    // Commits the table, appends the batch to the text file in one write, then puts the workbook
    // (built beside its target) in place.
    void Cerrar();
    void Abortar() noexcept;  // after a failure: closes everything, ignoring errors

    QString rutaLibro() const;  // the workbook written by this batch ("" when inactive)
    QString rutaPlano() const;  // the text file ("" when inactive)
    TiemposSumideros tiempos() const;

    struct Impl;
    std::unique_ptr<Impl> d;
};
