#pragma once
// The product table as a CSV file: UTF-8, a header line naming the columns, fields separated by
// ";" or "," (found from the header line), double quotes around fields that need them. An import
// is checked whole first and replaces the table only when every line passes.

#include <QList>
#include <QString>
#include <QStringList>

#include "data/Tablas.h"
#include "products/ImagenPLU.h"

struct LecturaCSV {
    QList<Producto> productos;  // every line that passed
    QStringList errores;        // one text per refused line, with its line number
    bool ok() const { return errores.isEmpty(); }
};

// Checks a whole file's text. Columns Codigo, Grupo and Nombre are required, EAN and Aux
// optional, in any order; the code is digits only up to 16,777,215, the group 1 to 8, name up to
// 46, EAN up to 15 and Aux 1 character, each representable in Windows-1252; at most 250 codes.
LecturaCSV LeerCSV(const QByteArray& contenido);
// The file's bytes for these products (";" separated, header line, CR LF).
QByteArray EscribirCSV(const QList<Producto>& productos);

struct ResultadoCSV {
    bool ok = false;
    int cantidad = 0;
    QStringList errores;  // refused lines, or the one reason the file or table failed
};

// Replaces the product table by the file's codes, only when every line passes.
ResultadoCSV ImportarCSV(const TablaDatos& plu, const QString& ruta);
// Writes the table in Grupo, Codigo order; the file is replaced whole, never through a symlink.
ResultadoCSV ExportarCSV(const TablaDatos& plu, const QString& ruta);
