#pragma once
// A private-profile (INI) file with the semantics the settings and language files were written for:
// section and key names match without regard to case, the first match wins, values are kept
// verbatim (no quoting or escaping), every other line stays where it is, bytes are Windows-1252,
// CR LF is written and LF accepted.

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <optional>
#include <utility>

namespace ArchivoIni {

// The file parsed once for lookups: only the first section of each name counts, and within it the
// first line of each key.
class Perfil {
  public:
    static Perfil Analizar(const QByteArray& contenido);
    // Raw bytes of [seccion] clave, blanks around the value removed; nothing when missing.
    std::optional<QByteArray> valor(const QString& seccion, const QString& clave) const;

  private:
    QHash<QString, QHash<QString, QByteArray>> secciones_;  // case-folded names
};

// The file's lines without their line ends (CR LF or LF).
QList<QByteArray> Lineas(const QByteArray& contenido);
// The lines joined back, each ended by CR LF.
QByteArray Unir(const QList<QByteArray>& lineas);
// Sets [seccion] clave = valor in the lines: the first matching key line is rewritten keeping the
// spelling of its key; a new key goes at the end of its section, before the blank lines that close
// it; a new section goes at the end. The caller makes sure the names and the value fit on a line.
void PonerValor(QList<QByteArray>& lineas, const QString& seccion, const QString& clave,
                const QByteArray& valor);

// Reads the file directly (no cache): raw bytes of [seccion] clave; nothing when the file, the
// section or the key is missing or the file cannot be read.
std::optional<QByteArray> LeerValor(const QString& ruta, const QString& seccion,
                                    const QString& clave);

}  // namespace ArchivoIni

// Path of the file `nombre` in the data folder (ContextoCarpeta::actual()), matched without regard
// to case (the first match in name order); when there is none, the path it would be created under.
QString RutaEnCarpetaDatos(const QString& nombre);
