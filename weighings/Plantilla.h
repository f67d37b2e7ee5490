#pragma once
// The default workbook template: an .xlsx with the sheets "Pesadas Bascora" and "Totales", their
// titles, the header labels and the column headings, made from code so that a new data folder
// always has one.

#include <QString>

// Writes the template to ruta (replacing a file there). False when it could not be written.
bool CrearPlantilla(const QString& ruta);
