#pragma once
// Export of what the report shows: its rows, filtered and sorted as on screen, to a CSV file or
// to a workbook made by the downloads' workbook writer. A file is never written through a
// symbolic link, and it is written beside its target and renamed into place, so a failed export
// leaves an older file of that name as it was.

#include <QString>
#include <functional>

#include "reports/ConsultaReporte.h"

// Called now and then with the rows written and the rows to write.
using ProgresoExportacion = std::function<void(qint64 hechas, qint64 total)>;

// Rows a workbook sheet can take below the template's header rows.
qint64 FilasMaximasLibro();

// RFC 4180: a header line with the column names, one line per row, fields joined by commas and
// quoted when they hold a comma, a quote or a line break; numbers with a decimal point.
bool ExportarCsv(const VistaReporte& vista, const QString& ruta,
                 const ProgresoExportacion& progreso, QString* error);

// The template copy with one row per weighing from row 6 (date, time, weight, codes 1 to 5; the
// indicator's sequence number is not stored in the table and is left at 0). The header batch is
// the batch of the rows when they all share one, else 0.
bool ExportarLibro(const VistaReporte& vista, const QString& ruta,
                   const ProgresoExportacion& progreso, QString* error);
