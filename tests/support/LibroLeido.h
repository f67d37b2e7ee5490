#pragma once
// Reads back an .xlsx workbook independently of the code that writes it: the entries of the zip,
// and the cells of one sheet with their type, value and number format.

#include <QString>
#include <map>

struct CeldaLeida {
    bool existe = false;
    QString tipo;     // attribute t
    QString valor;    // <v>, the inline string or the shared string it points to
    QString formato;  // number format code of its style ("" for General and built-in formats)
};

// Cells of one sheet by reference ("A6"); empty when the file or the sheet is missing.
std::map<QString, CeldaLeida> LeerHoja(const QString& rutaLibro, const QString& hoja);
// Entry names and contents of a zip archive.
std::map<QString, QByteArray> EntradasZip(const QString& ruta);
// Writes a zip archive with exactly these entries.
bool EscribirZip(const QString& ruta, const std::map<QString, QByteArray>& entradas);
