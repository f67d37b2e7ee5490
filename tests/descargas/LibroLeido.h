#pragma once
// Reads back the cell values of one sheet of an .xlsx workbook (shared strings, inline strings and
// numbers), independently of the code that writes it.

#include <QString>
#include <map>

// Values by cell reference ("A6"); empty when the file or the sheet is not there.
std::map<QString, QString> LeerHojaLibro(const QString& ruta, const QString& hoja);
