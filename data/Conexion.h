#pragma once
// Connection strings in the "Key=Value;" style and the Qt SQL connections they open.
//   Driver=QSQLITE;Data Source=datos.db;            (relative paths: the data folder)
//   Driver=QPSQL;Host=127.0.0.1;Port=5432;Database=bascora;User=u;Password=p;
// Optional: Mode=Read (read-only), Timeout=ms (lock wait on SQLite, connect wait on PostgreSQL).

#include <QLoggingCategory>
#include <QSqlDatabase>
#include <QString>
#include <optional>

Q_DECLARE_LOGGING_CATEGORY(lcDatos)

struct CadenaConexion {
    QString driver;   // "QSQLITE" or "QPSQL"
    QString archivo;  // SQLite file, absolute
    QString host;
    int puerto = -1;
    QString base;
    QString usuario;
    QString clave;
    bool soloLectura = false;
    int esperaMs = 5000;
};

// Nothing and a readable reason in *error when the text cannot be used (legacy Access strings,
// unknown keys, a missing driver or file name).
std::optional<CadenaConexion> AnalizarCadenaConexion(const QString& texto, QString* error);

// Opens a Qt SQL connection called `nombre`. An SQLite file must exist unless `crearArchivo`, and
// must really be a database. On failure the connection is removed again and *error says why.
bool AbrirConexion(const QString& nombre, const QString& texto, bool crearArchivo, QString* error);

// Closes and removes a connection opened by AbrirConexion (no-op when there is none).
void CerrarConexion(const QString& nombre);

// A connection name no other connection of this process uses.
QString NuevoNombreConexion();

// The connection of the calling thread for `cadena`: opened on first use, then reused for as long
// as the thread lives (a window or a job works on one connection). Qt connections belong to the
// thread that opened them, so each thread gets its own. Strings naming the same database share
// one connection; a server connection that went away is opened again. Invalid, with *error, when
// it cannot be opened. Callers keep no QSqlQuery past CerrarConexionesDelHilo.
QSqlDatabase ConexionPara(const QString& cadena, QString* error = nullptr);
// Closes every connection ConexionPara opened on the calling thread (a job calls it at its end;
// the thread's end does it too).
void CerrarConexionesDelHilo();
// Closes the calling thread's connection for `cadena`, if it has one (before the file is replaced).
void CerrarConexionPara(const QString& cadena);

// A table name from the settings as an SQL identifier of `db`: quoted, so that no name can change
// the statement. On PostgreSQL a name that is not in the catalog as written is taken in lower
// case, the way an unquoted CREATE TABLE stored it.
QString NombreTablaSql(const QSqlDatabase& db, const QString& tabla);
// The same name unquoted, as the catalog has it (for QSqlDatabase::record and primaryIndex).
QString NombreEnCatalogo(const QSqlDatabase& db, const QString& tabla);
