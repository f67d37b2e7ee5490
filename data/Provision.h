#pragma once
// Prepares a working data folder: the database with every logical table, its keys, indexes and
// starting rows, the "BaseDeDatos" settings pointing at it, and the shipped resources. Nothing
// that exists is overwritten; running it again adds only what is missing.

#include <QString>
#include <QStringList>

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
void PrepararBase(const QString& cadenaConexion, InformeProvision& informe);

// The whole data folder (the current directory): datos.db, bascora.ini, resources.
InformeProvision PrepararCarpeta();

// SQL giving the calendar date "yyyy-mm-dd" of a weighing's Fecha text "dd/mm/yy" (years below 80
// are 20yy, as the downloads read them) or "dd/mm/yyyy"; NULL for any other text. Fills the
// weighing table's FechaIso column, which the report compares and sorts dates on.
QString ExpresionFechaIso(const QString& columnaFecha);
