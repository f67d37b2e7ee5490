#pragma once
// Message texts: every user-visible text has a six-digit id and its Spanish wording. The language
// file Idioma.cfg of the data folder ([Idioma] section, one line per id) may replace it.

#include <QLocale>
#include <QString>

QString TextoIdioma(const QString& Id, const QString& Defecto);

// The usual call: a literal id and its Spanish default (UTF-8).
inline QString T(const char* id, const char* defecto) {
    return TextoIdioma(QString::fromLatin1(id), QString::fromUtf8(defecto));
}

// The locale of the language in use: Spanish with no language file; else the one named by the
// file's QtIdioma key (for example "QtIdioma=en." in [Idioma]), Spanish when the key is missing or
// names no language Qt knows. Dates and numbers shown to the operator use it.
QLocale LocalePrograma();

// Makes Qt's own texts (standard buttons, file and page set-up dialogs) and the default locale
// follow the language in use, then has every window relabel (QEvent::LanguageChange reaches every
// widget, even when Qt's texts stay the same). Called at start-up and after each language change,
// on the interface thread.
void AplicarIdiomaQt();

// Back to Qt's built-in texts and the default locale there was before the first AplicarIdiomaQt().
void QuitarIdiomaQt();

// A message built from texts and values: one blank where two parts meet, none after an opening
// bracket or before a closing bracket or punctuation. The texts keep no blanks at their ends,
// because a language file read drops the leading ones; blanks left there are not doubled.
QString Frase(std::initializer_list<QString> partes);
