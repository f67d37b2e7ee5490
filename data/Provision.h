#pragma once
// Prepares a working data folder: the database with every logical table, its keys, indexes and
// starting rows, the "BaseDeDatos" settings pointing at it, and the shipped resources. Nothing
// that exists is overwritten; running it again adds only what is missing.

#include <QString>
#include <QStringList>
#include <functional>

struct InformeProvision {
    QStringList creado;     // what was added
    QStringList existente;  // what was already there and left alone
    QStringList avisos;     // what could not be done
    QStringList notas;      // what is missing but does not stop the folder from working
    bool ok() const { return avisos.isEmpty(); }
    QString Texto() const;  // readable report, one line per item
};

// The connection string a new data folder gets.
QString CadenaConexionPredeterminada();

// Creates the missing tables, columns, keys, indexes and starting rows in the database of
// `cadenaConexion` (an SQLite file is created when missing). Tables get their logical names.
// Every table gets an integer key column Id (identity); an existing table without one gets it
// added and its rows numbered, keeping its other columns, indexes and unique rules.
void PrepararBase(const QString& cadenaConexion, InformeProvision& informe);

// What the data folder gets from outside the data store.
struct OpcionesProvision {
    QString rutaRecursos;  // folder of the shipped resources; empty: nothing is copied
    // Writes the default workbook template to a path when none is shipped; unset: a note.
    std::function<bool(const QString&)> crearPlantilla;
};

// The whole data folder (the current directory): datos.db, bascora.ini, resources. Tables that
// the settings name on other databases or under other names get their Id key column too.
InformeProvision PrepararCarpeta(const OpcionesProvision& opciones = {});

// SQL giving the calendar date "yyyy-mm-dd" of a weighing's Fecha text "dd/mm/yy" (years below 80
// are 20yy, as the downloads read them) or "dd/mm/yyyy"; NULL for any other text. Fills the
// weighing table's FechaIso column, which the report compares and sorts dates on.
QString ExpresionFechaIso(const QString& columnaFecha);
