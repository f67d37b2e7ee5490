#pragma once
// The workbook sink: a copy of the template PlantillaBascora.xlsx whose sheet "Pesadas Bascora"
// gets the download's header and one row per weighing, and whose sheet "Totales" can get the
// totals by product afterwards. The template's formatting is kept: only the cells written here
// change, and dates and times become real spreadsheet values with their own number formats.

#include <QList>
#include <QString>
#include <memory>
#include <vector>

#include "weighings/Decodificacion.h"
#include "weighings/Pesada.h"
#include "weighings/Sumideros.h"

inline constexpr char NombrePlantilla[] = "PlantillaBascora.xlsx";
inline constexpr char HojaPesadas[] = "Pesadas Bascora";
inline constexpr char HojaTotales[] = "Totales";
inline constexpr int PrimeraFilaDatos = 6;

// Spreadsheet number format of a date pattern of the settings ("DD/MM/YYYY" → "dd/mm/yyyy").
QString FormatoNumeroFecha(const QString& patron);
// Day serial of a date in the 1900 date system (1900-03-01 onwards).
double SerieFecha(const QDate& fecha);

class LibroExcel {
  public:
    LibroExcel(TipoDescarga tipo, QString rutaDestino, QString patronFecha);
    ~LibroExcel();

    // Copies the template over the target, loads the records sheet and writes the header.
    void Abrir(long long lote);
    void Agregar(const Pesada& pesada);  // one row, kept in memory until Cerrar
    void Cerrar();                       // writes the workbook once
    void Abortar() noexcept;             // the copy of the template stays as it was

    QString ruta() const { return ruta_; }

  private:
    TipoDescarga tipo_;
    QString ruta_;
    QString patronFecha_;
    long long lote_ = 0;
    std::vector<Pesada> filas_;
    bool abierto_ = false;
};

// Writes the entries with a nonzero number of weighings into the sheet "Totales" of the workbook
// at rutaLibro, from row 6 in entry order: Grupo, Codigo, Nombre, total weight, weighings.
void EscribirTotales(const QString& rutaLibro, const QList<TotalProducto>& pares);
