#pragma once
// Dates and times as the program writes them: in the program's language and the date pattern of
// the settings, never in the machine's locale, so a log or a printout reads the same on any PC.

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QString>

// A date written with a pattern of the settings ("DD/MM/YYYY"): d, dd, ddd, dddd, m, mm, mmm,
// mmmm, yy and yyyy in either case, names in the program's language; text in double quotes and a
// character after a backslash are copied as they are, and so is every other character.
QString FormatearFecha(const QDate& fecha, const QString& patron);

// Date with the Fecha_Frm setting (its default when unset) and time as HH:MM:SS, one blank between:
// the stamp of the logs and of the printout headings.
QString FechaDelPrograma(const QDate& fecha);
QString HoraDelPrograma(const QTime& hora);
QString FechaHoraDelPrograma(const QDateTime& momento);
