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
    ~LibroExcel();  // removes an unfinished temporary file

    // A target that exists already is refused instead of replaced (workbooks named by batch).
    void fijarSinReemplazo(bool sinReemplazo) { sinReemplazo_ = sinReemplazo; }
    // Copies the template into a temporary file beside the target and checks it.
    void Abrir(long long lote);
    void Agregar(const Pesada& pesada);  // one row, kept in memory until Preparar
    void Preparar();                     // writes the header and rows into the temporary file
    void Publicar();                     // renames it over the target
    void Cerrar();                       // Preparar and Publicar
    void Abortar() noexcept;             // the target stays as it was

    QString ruta() const { return ruta_; }

  private:
    TipoDescarga tipo_;
    QString ruta_;
    QString patronFecha_;
    long long lote_ = 0;
    QString temporal_;  // where the workbook is built until it is complete
    std::vector<Pesada> filas_;
    bool abierto_ = false;
    bool sinReemplazo_ = false;
};

// Writes the entries with a nonzero number of weighings into the sheet "Totales" of the workbook
// at rutaLibro, from row 6 in entry order: Grupo, Codigo, Nombre, total weight, weighings.
void EscribirTotales(const QString& rutaLibro, const QList<TotalProducto>& pares);
