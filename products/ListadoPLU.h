#pragma once
// Paper from the codes of a group: the label-printer job CB.txt (seven lines per code, appended)
// and the code list, laid out in pages (60 lines unless told) with the headings on every page.

#include <QList>
#include <QString>
#include <QStringList>

#include "products/ImagenPLU.h"

// The 15-character name of a label: trimmed, cut to 15, centred when shorter than 14.
QString NombreEtiqueta(const QString& nombre);
// The seven lines of one label job (the last one empty).
QStringList LineasEtiqueta(const Producto& p);
// Appends one job per code to the file at `ruta` (Windows-1252, CR LF). Refuses a symlink.
bool EscribirEtiquetas(const QString& ruta, const QList<Producto>& productos,
                       QString* error = nullptr);

// One piece of a printed line: text at a column (1 = first), bold or not.
struct PiezaListado {
    int columna = 1;
    QString texto;
    bool negrita = false;
    bool operator==(const PiezaListado&) const = default;
};
using LineaListado = QList<PiezaListado>;  // empty: an empty line
using PaginaListado = QList<LineaListado>;

inline constexpr int LineasPorPagina = 60;

// The code list of a group: headings (rule, title with the group's name, rule, date and time,
// empty line, bold column heads) at the top of every page, one or more lines per code (a value
// that would start left of where the line already is goes to the next line), and the closing
// empty line, rule and empty line. lineasPorPagina: what the paper set up takes.
QList<PaginaListado> PaginasListado(const QString& nombreGrupo, const QList<Producto>& productos,
                                    const QString& fecha, const QString& hora,
                                    int lineasPorPagina = LineasPorPagina);
// A page as plain text lines, columns filled with blanks (tests and the terminal).
QStringList TextoPagina(const PaginaListado& pagina);
