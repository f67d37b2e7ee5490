#pragma once
// Message texts: every user-visible text has a six-digit id and its Spanish wording. The language
// file Idioma.cfg in the current directory ([Idioma] section, one line per id) may replace it.

#include <QString>

QString TextoIdioma(const QString& Id, const QString& Defecto);
