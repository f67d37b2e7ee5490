#include "data/Conexion.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <atomic>

#include "data/VariablesGlobales.h"
#include "settings/ArchivoIni.h"

Q_LOGGING_CATEGORY(lcDatos, "bascora.data")

namespace {
// Every program that opens a database links this file, so the settings kept in the global
// variables table work from the start without anyone wiring them up.
[[maybe_unused]] const bool kVariablesGlobales = (InstalarVariablesGlobalesEnBase(), true);
}  // namespace

namespace {

// Splits "k=v;k2=v2" into pairs; a value may be quoted ("..." or '...') to hold a ";".
bool Partir(const QString& texto, QList<QPair<QString, QString>>* pares, QString* error) {
    int i = 0;
    const int n = texto.size();
    while (i < n) {
        while (i < n && (texto[i] == u';' || texto[i].isSpace())) ++i;
        if (i >= n) break;
        const int igual = texto.indexOf(u'=', i);
        if (igual < 0) {
            *error = QStringLiteral("connection string: \"%1\" has no value")
                         .arg(texto.mid(i).section(u';', 0, 0).trimmed());
            return false;
        }
        const QString clave = texto.mid(i, igual - i).simplified();
        i = igual + 1;
        while (i < n && texto[i] == u' ') ++i;
        QString valor;
        if (i < n && (texto[i] == u'"' || texto[i] == u'\'')) {
            const QChar comilla = texto[i];
            const int fin = texto.indexOf(comilla, i + 1);
            if (fin < 0) {
                *error = QStringLiteral("connection string: unclosed quote in %1").arg(clave);
                return false;
            }
            valor = texto.mid(i + 1, fin - i - 1);
            i = fin + 1;
            while (i < n && texto[i] != u';') ++i;
        } else {
            const int fin = texto.indexOf(u';', i);
            valor = texto.mid(i, (fin < 0 ? n : fin) - i).trimmed();
            i = fin < 0 ? n : fin;
        }
        pares->append({clave, valor});
    }
    return true;
}

QString RutaArchivo(const QString& valor) {
    if (QFileInfo(valor).isAbsolute()) return QDir::cleanPath(valor);
    // A bare name is looked up without regard to case, like the other files of the data folder.
    if (!valor.contains(u'/')) return QFileInfo(RutaEnCarpetaDatos(valor)).absoluteFilePath();
    return QDir::cleanPath(QDir::current().absoluteFilePath(valor));
}

}  // namespace

std::optional<CadenaConexion> AnalizarCadenaConexion(const QString& texto, QString* error) {
    QString nada;
    if (!error) error = &nada;
    if (texto.trimmed().isEmpty()) {
        *error = QStringLiteral("no connection string configured");
        return std::nullopt;
    }
    QList<QPair<QString, QString>> pares;
    if (!Partir(texto, &pares, error)) return std::nullopt;

    CadenaConexion c;
    for (const auto& [claveOriginal, valor] : pares) {
        const QString clave = claveOriginal.toLower();
        if (clave == u"provider") {
            if (valor.startsWith(u"Microsoft.Jet", Qt::CaseInsensitive) ||
                valor.startsWith(u"Microsoft.ACE", Qt::CaseInsensitive)) {
                *error = QStringLiteral(
                    "connection string names a Microsoft Access (.mdb) database, which this "
                    "program cannot open. Convert the .mdb file to SQLite with a conversion tool "
                    "(the import command \"bascora-cli importar-mdb\" is planned but not built "
                    "yet), then use \"Driver=QSQLITE;Data Source=datos.db;\"");
            } else {
                *error = QStringLiteral(
                             "connection string: unsupported Provider \"%1\"; use "
                             "Driver=QSQLITE or Driver=QPSQL")
                             .arg(valor);
            }
            return std::nullopt;
        } else if (clave == u"driver") {
            const QString d = valor.toUpper();
            if (d == u"QSQLITE" || d == u"SQLITE") {
                c.driver = QStringLiteral("QSQLITE");
            } else if (d == u"QPSQL" || d == u"POSTGRESQL") {
                c.driver = QStringLiteral("QPSQL");
            } else {
                *error = QStringLiteral(
                             "connection string: unknown Driver \"%1\" (QSQLITE or "
                             "QPSQL)")
                             .arg(valor);
                return std::nullopt;
            }
        } else if (clave == u"data source") {
            c.archivo = valor;
        } else if (clave == u"host" || clave == u"server") {
            c.host = valor;
        } else if (clave == u"port") {
            bool ok = false;
            c.puerto = valor.toInt(&ok);
            if (!ok || c.puerto <= 0 || c.puerto > 65535) {
                *error = QStringLiteral("connection string: bad Port \"%1\"").arg(valor);
                return std::nullopt;
            }
        } else if (clave == u"database" || clave == u"initial catalog") {
            c.base = valor;
        } else if (clave == u"user" || clave == u"user id" || clave == u"uid") {
            c.usuario = valor;
        } else if (clave == u"password" || clave == u"pwd") {
            c.clave = valor;
        } else if (clave == u"mode") {
            const QString m = valor.toLower();
            if (m == u"read") {
                c.soloLectura = true;
            } else if (m == u"readwrite" || m == u"read write") {
                c.soloLectura = false;
            } else {
                *error = QStringLiteral(
                             "connection string: unknown Mode \"%1\" (Read or "
                             "ReadWrite)")
                             .arg(valor);
                return std::nullopt;
            }
        } else if (clave == u"timeout") {
            bool ok = false;
            c.esperaMs = valor.toInt(&ok);
            if (!ok || c.esperaMs < 0) {
                *error = QStringLiteral("connection string: bad Timeout \"%1\"").arg(valor);
                return std::nullopt;
            }
        } else {
            *error = QStringLiteral("connection string: unknown key \"%1\"").arg(claveOriginal);
            return std::nullopt;
        }
    }
    if (c.driver.isEmpty()) c.driver = QStringLiteral("QSQLITE");
    if (c.driver == u"QSQLITE") {
        if (c.archivo.isEmpty()) c.archivo = c.base;
        if (!c.host.isEmpty() || c.puerto > 0 || !c.usuario.isEmpty() || !c.clave.isEmpty()) {
            *error = QStringLiteral(
                "connection string: Host, Port, User and Password are for Driver=QPSQL");
            return std::nullopt;
        }
        if (c.archivo.isEmpty()) {
            *error = QStringLiteral("connection string: Data Source (the database file) missing");
            return std::nullopt;
        }
        c.archivo = RutaArchivo(c.archivo);
    } else {
        if (!c.archivo.isEmpty()) {
            *error = QStringLiteral(
                "connection string: Data Source is for Driver=QSQLITE; use "
                "Host and Database");
            return std::nullopt;
        }
        if (c.base.isEmpty()) {
            *error = QStringLiteral("connection string: Database missing");
            return std::nullopt;
        }
    }
    return c;
}

bool AbrirConexion(const QString& nombre, const QString& texto, bool crearArchivo, QString* error) {
    QString nada;
    if (!error) error = &nada;
    const std::optional<CadenaConexion> c = AnalizarCadenaConexion(texto, error);
    if (!c) return false;
    if (!QSqlDatabase::isDriverAvailable(c->driver)) {
        *error = QStringLiteral("the Qt SQL driver %1 is not installed").arg(c->driver);
        return false;
    }
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(c->driver, nombre);
        if (c->driver == u"QSQLITE") {
            const QFileInfo info(c->archivo);
            if (!crearArchivo && !info.isFile()) {
                *error = QStringLiteral("database file not found: %1").arg(c->archivo);
            } else if (crearArchivo && !info.exists() && !QDir().mkpath(info.absolutePath())) {
                *error = QStringLiteral("cannot create the folder of %1").arg(c->archivo);
            } else {
                db.setDatabaseName(c->archivo);
                QStringList opciones{QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(c->esperaMs)};
                if (c->soloLectura) opciones << QStringLiteral("QSQLITE_OPEN_READONLY");
                db.setConnectOptions(opciones.join(u';'));
                if (!db.open()) {
                    *error = db.lastError().text();
                } else {
                    // SQLite opens anything lazily; make sure this really is a database.
                    QSqlQuery prueba(db);
                    if (!prueba.exec(QStringLiteral("SELECT count(*) FROM sqlite_master"))) {
                        *error = QStringLiteral("%1 is not a usable database: %2")
                                     .arg(c->archivo, prueba.lastError().text());
                    } else {
                        ok = true;
                        // In WAL mode a commit is one append to the log; without the extra sync
                        // a committed row survives a program crash and the file stays consistent
                        // (only a power cut may lose the last commits). The downloads commit
                        // every weighing on its own, so this is what keeps them fast.
                        if (prueba.exec(QStringLiteral("PRAGMA journal_mode")) && prueba.next() &&
                            prueba.value(0).toString().compare(u"wal", Qt::CaseInsensitive) == 0) {
                            prueba.exec(QStringLiteral("PRAGMA synchronous=NORMAL"));
                            // Fewer, larger checkpoints (each one syncs) and room for the upper
                            // index pages of a big weighing table.
                            prueba.exec(QStringLiteral("PRAGMA wal_autocheckpoint=10000"));
                            prueba.exec(QStringLiteral("PRAGMA cache_size=-16384"));
                        }
                    }
                }
            }
        } else {
            db.setHostName(c->host);
            if (c->puerto > 0) db.setPort(c->puerto);
            db.setDatabaseName(c->base);
            db.setUserName(c->usuario);
            db.setPassword(c->clave);
            db.setConnectOptions(
                QStringLiteral("connect_timeout=%1").arg(qMax(1, (c->esperaMs + 999) / 1000)));
            if (!db.open()) {
                *error = db.lastError().text();
            } else {
                ok = true;
                if (c->soloLectura) {
                    QSqlQuery q(db);
                    q.exec(QStringLiteral("SET SESSION CHARACTERISTICS AS TRANSACTION READ ONLY"));
                }
            }
        }
        if (!ok) db.close();
    }
    if (!ok) QSqlDatabase::removeDatabase(nombre);
    return ok;
}

void CerrarConexion(const QString& nombre) {
    if (!QSqlDatabase::contains(nombre)) return;
    {
        QSqlDatabase db = QSqlDatabase::database(nombre, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(nombre);
}

QString NuevoNombreConexion() {
    static std::atomic<quint64> siguiente{0};
    return QStringLiteral("bascora-datos-%1").arg(++siguiente);
}

namespace {

// The connections ConexionPara opened on this thread, closed when the thread ends.
struct ConexionesHilo {
    QHash<QString, QString> nombres;  // normalised connection string -> connection name
    ~ConexionesHilo() {
        for (const QString& nombre : std::as_const(nombres)) CerrarConexion(nombre);
    }
};

ConexionesHilo& ConexionesDelHilo() {
    thread_local ConexionesHilo conexiones;
    return conexiones;
}

// The same database under any spelling of its string; a relative file name is resolved now, so
// a connection is never reused for another data folder's file.
QString ClaveConexion(const CadenaConexion& c) {
    return QStringList{c.driver,
                       c.archivo,
                       c.host,
                       QString::number(c.puerto),
                       c.base,
                       c.usuario,
                       c.clave,
                       QString::number(c.soloLectura),
                       QString::number(c.esperaMs)}
        .join(QChar(0x1f));
}

// A server connection that went away (server restart, idle cut) still reports itself open; one
// cheap statement tells. A failure inside an aborted transaction is not a lost connection.
bool SigueViva(const QSqlDatabase& db) {
    if (!db.isOpen()) return false;
    if (db.driverName() != u"QPSQL") return true;
    QSqlQuery q(db);
    if (q.exec(QStringLiteral("SELECT 1"))) return true;
    const QString estado = q.lastError().nativeErrorCode();
    const bool perdida = estado.isEmpty() || estado.startsWith(u"08") || estado.startsWith(u"57P");
    if (perdida)
        qCWarning(lcDatos) << "database connection lost, reopening:" << q.lastError().text();
    return !perdida;
}

}  // namespace

QSqlDatabase ConexionPara(const QString& cadena, QString* error) {
    QString nada;
    if (!error) error = &nada;
    const std::optional<CadenaConexion> c = AnalizarCadenaConexion(cadena, error);
    if (!c) return QSqlDatabase();
    QHash<QString, QString>& nombres = ConexionesDelHilo().nombres;
    const QString clave = ClaveConexion(*c);
    if (const auto it = nombres.constFind(clave); it != nombres.constEnd()) {
        const QString nombre = *it;
        {
            const QSqlDatabase db = QSqlDatabase::database(nombre, false);
            if (SigueViva(db)) return db;
        }
        CerrarConexion(nombre);
        nombres.remove(clave);
    }
    const QString nombre = NuevoNombreConexion();
    if (!AbrirConexion(nombre, cadena, false, error)) return QSqlDatabase();
    nombres.insert(clave, nombre);
    return QSqlDatabase::database(nombre, false);
}

void CerrarConexionesDelHilo() {
    QHash<QString, QString>& nombres = ConexionesDelHilo().nombres;
    for (const QString& nombre : std::as_const(nombres)) CerrarConexion(nombre);
    nombres.clear();
}

void CerrarConexionPara(const QString& cadena) {
    const std::optional<CadenaConexion> c = AnalizarCadenaConexion(cadena, nullptr);
    if (!c) return;
    QHash<QString, QString>& nombres = ConexionesDelHilo().nombres;
    const QString nombre = nombres.take(ClaveConexion(*c));
    if (!nombre.isEmpty()) CerrarConexion(nombre);
}

QString NombreEnCatalogo(const QSqlDatabase& db, const QString& tabla) {
    // Created without quotes, a PostgreSQL table went into the catalog in lower case.
    if (db.driverName() == u"QPSQL" && !db.tables().contains(tabla)) return tabla.toLower();
    return tabla;
}

QString NombreTablaSql(const QSqlDatabase& db, const QString& tabla) {
    QSqlDriver* driver = db.driver();
    if (!driver || tabla.isEmpty()) return tabla;
    return driver->escapeIdentifier(NombreEnCatalogo(db, tabla), QSqlDriver::TableName);
}
