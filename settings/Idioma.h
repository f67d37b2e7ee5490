#pragma once
// Message texts: every user-visible text has a six-digit id and its Spanish wording. The language
// file Idioma.cfg of the data folder ([Idioma] section, one line per id) may replace it.

#include <QString>

QString TextoIdioma(const QString& Id, const QString& Defecto);

// The usual call: a literal id and its Spanish default (UTF-8).
inline QString T(const char* id, const char* defecto) {
    return TextoIdioma(QString::fromLatin1(id), QString::fromUtf8(defecto));
}

// A message built from texts and values: one blank where two parts meet, none after an opening
// bracket or before a closing bracket or punctuation. The texts keep no blanks at their ends,
// because a language file read drops the leading ones; blanks left there are not doubled.
QString Frase(std::initializer_list<QString> partes);
