#pragma once
// The download log Datos.log in the data folder: one entry per call, appended, never truncated.

#include <QString>

// Appends banner, "Fecha y Hora: " with the current date (Fecha_Frm) and time, Texto and an empty
// line (CR LF, Windows-1252). The banner and the label come from the message texts: 008007/008008
// for the manual download, 001009/001010 for the scheduled one. Returns false when the log could
// not be written; the entry is then not written at all.
bool GuardarError(const QString& Texto, const QString& idBanner = QStringLiteral("008007"),
                  const QString& idEtiqueta = QStringLiteral("008008"));
