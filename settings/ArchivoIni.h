#pragma once
// A private-profile (INI) file with the semantics the settings and language files were written for:
// section and key names match without regard to case, the first match wins, values are kept
// verbatim (no quoting or escaping), every other line stays where it is, bytes are Windows-1252,
// CR LF is written and LF accepted. A write replaces the file atomically.

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>
#include <utility>

namespace ArchivoIni {

// Raw bytes of [seccion] clave, blanks around the value removed; nothing when the file, the section
// or the key is missing or the file cannot be read.
std::optional<QByteArray> LeerValor(const QString& ruta, const QString& seccion,
                                    const QString& clave);

// Sets [seccion] clave = valor, creating the file, the section or the key when missing. Returns
// false when the file could not be written; the old file is then left as it was.
bool EscribirValor(const QString& ruta, const QString& seccion, const QString& clave,
                   const QByteArray& valor);

// Several keys of one section in a single rewrite of the file, in the order given.
bool EscribirValores(const QString& ruta, const QString& seccion,
                     const QList<std::pair<QString, QByteArray>>& valores);

}  // namespace ArchivoIni

// Path of the file `nombre` in the current directory, matched without regard to case (the first
// match in name order); when there is none, the path it would be created under.
QString RutaEnCarpetaDatos(const QString& nombre);
