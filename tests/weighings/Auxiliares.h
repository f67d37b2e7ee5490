#pragma once
// Helpers of the weighing tests: SQLite tables in the data folder, audit records built byte by
// byte, and a small reader of .xlsx cells that does not share code with the writer.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <map>
#include <vector>

namespace aux {

inline const QString kConexion = QStringLiteral("Driver=QSQLITE;Data Source=datos.db;");

// Runs the statements on datos.db in the current folder (created when missing); false on error.
bool EjecutarSql(const QStringList& sentencias);
// Rows of a query, each as a list of column values.
std::vector<QVariantList> Consultar(const QString& sql);

// One 26-byte audit record.
QByteArray Registro(const QByteArray& fechaHora5, quint32 peso, const QByteArray& campo1_6,
                    const QByteArray& c2, const QByteArray& c3, const QByteArray& c4,
                    const QByteArray& c5);
QByteArray Bytes3(quint32 v);

struct CeldaLeida {
    bool existe = false;
    QString tipo;     // attribute t
    QString valor;    // <v> or the inline string
    QString formato;  // number format code of its style ("" for General)
};

// Cells of one sheet of a workbook, by reference ("A6"); empty when the file or sheet is missing.
std::map<QString, CeldaLeida> LeerHoja(const QString& rutaLibro, const QString& hoja);
// Entry names and contents of a zip archive.
std::map<QString, QByteArray> EntradasZip(const QString& ruta);
// Writes a zip archive with exactly these entries.
bool EscribirZip(const QString& ruta, const std::map<QString, QByteArray>& entradas);

}  // namespace aux
