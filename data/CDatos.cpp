#include "data/CDatos.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlField>
#include <QSqlQuery>
#include <QTime>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "base/Interaccion.h"
#include "data/Conexion.h"
#include "data/CursorDatos.h"

// ---------------------------------------------------------------------------------------------
// ErrorBase

ErrorBase::ErrorBase(const QString& descripcion, bool claveDuplicada, QString numero)
    : std::runtime_error(descripcion.toStdString()),
      descripcion_(descripcion),
      claveDuplicada_(claveDuplicada),
      numero_(std::move(numero)) {}

bool EsClaveDuplicada(const QSqlError& error) {
    const QString codigo = error.nativeErrorCode();
    // PostgreSQL: SQLSTATE unique_violation.
    if (codigo == u"23505") return true;
    // SQLite: SQLITE_CONSTRAINT (19) and its UNIQUE / PRIMARYKEY extended codes. The plain code
    // also covers NOT NULL, CHECK and foreign keys, which the message tells apart.
    if (codigo == u"2067" || codigo == u"1555") return true;
    if (codigo == u"19") {
        const QString texto = error.databaseText();
        return texto.contains(u"UNIQUE constraint failed") ||
               texto.contains(u"PRIMARY KEY must be unique") || texto.contains(u"is not unique");
    }
    return false;
}

ErrorBase ErrorBase::DesdeSql(const QSqlError& error) {
    QString texto = error.databaseText();
    if (texto.isEmpty()) texto = error.text();
    return ErrorBase(texto, EsClaveDuplicada(error), error.nativeErrorCode());
}

// ---------------------------------------------------------------------------------------------
// RegistroDatos

struct RegistroDatos::Impl {
    enum class Estado { Posicion, Agregada, Borrada };
    enum class Edicion { Ninguna, Nueva, Cambio };

    QString cadena;
    CursorDatos cursor;
    qint64 pos = 0;
    Estado estado = Estado::Posicion;
    Edicion edicion = Edicion::Ninguna;
    CursorDatos::Fila agregada;            // the row just appended (Estado::Agregada)
    QHash<int, QVariant> pendientes;       // column -> value of the edit in progress
    QHash<QString, QSqlQuery> sentencias;  // prepared writes, by SQL text

    QSqlDatabase Base() const { return QSqlDatabase::database(cursor.Conexion(), false); }

    void ExigirAbierto() const {
        if (!cursor.Abierto()) throw ErrorBase(QStringLiteral("The record set is not open."));
    }

    const CursorDatos::Fila* Actual() {
        switch (estado) {
            case Estado::Agregada:
                return &agregada;
            case Estado::Borrada:
                return nullptr;
            case Estado::Posicion:
                return cursor.Leer(pos);
        }
        return nullptr;
    }

    const CursorDatos::Fila& ExigirActual() {
        ExigirAbierto();
        if (estado == Estado::Borrada) {
            throw ErrorBase(QStringLiteral("The current record has been deleted."));
        }
        const CursorDatos::Fila* f = Actual();
        if (!f) {
            if (!cursor.UltimoError().isEmpty()) throw ErrorBase(cursor.UltimoError());
            throw ErrorBase(
                QStringLiteral("Either BOF or EOF is True, or the current record "
                               "has been deleted."));
        }
        return *f;
    }

    int ExigirColumna(const QString& nombre) const {
        const int k = cursor.IndiceColumna(nombre);
        if (k < 0) {
            throw ErrorBase(
                QStringLiteral("Item cannot be found in the collection: %1").arg(nombre));
        }
        return k;
    }

    void ExigirInsertable() const {
        ExigirAbierto();
        if (!cursor.Insertable()) {
            throw ErrorBase(QStringLiteral("The record set cannot be updated."));
        }
    }

    void ExigirActualizable() const {
        ExigirAbierto();
        if (!cursor.Actualizable()) {
            const QString motivo = cursor.MotivoSoloLectura();
            throw ErrorBase(QStringLiteral("The record set cannot be updated.") +
                            (motivo.isEmpty() ? QString() : u' ' + motivo));
        }
    }

    void DejarEdicion() {
        edicion = Edicion::Ninguna;
        pendientes.clear();
    }

    QSqlQuery& Sentencia(const QString& sql) {
        auto it = sentencias.find(sql);
        if (it == sentencias.end()) {
            QSqlQuery q(Base());
            if (!q.prepare(sql)) throw ErrorBase::DesdeSql(q.lastError());
            it = sentencias.insert(sql, q);
        }
        return it.value();
    }

    QString Columna(int k) const {
        return Base().driver()->escapeIdentifier(cursor.Columnas().fieldName(k),
                                                 QSqlDriver::FieldName);
    }
};

namespace {

bool EsNumerico(QMetaType::Type t) {
    switch (t) {
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Double:
        case QMetaType::Float:
            return true;
        default:
            return false;
    }
}

// The value as the column takes it; a value the column cannot take raises, like the engine's
// own type check would, and leaves the column as it was.
QVariant Convertir(const QVariant& v, const QSqlField& campo) {
    if (!v.isValid() || v.isNull()) return QVariant(campo.metaType());
    const auto tipo = QMetaType::Type(campo.metaType().id());
    // A null QString would be stored as NULL; the empty text is meant.
    if (v.typeId() == QMetaType::QString && v.toString().isNull() && !EsNumerico(tipo)) {
        return QStringLiteral("");
    }
    auto error = [&] {
        return ErrorBase(
            QStringLiteral("Type mismatch: %1 cannot take \"%2\"").arg(campo.name(), v.toString()));
    };
    if (EsNumerico(tipo)) {
        if (v.typeId() == QMetaType::Bool) return v.toBool() ? 1 : 0;
        if (v.typeId() == QMetaType::QString) {
            const QString t = v.toString().trimmed();
            bool ok = false;
            const double d = t.toDouble(&ok);
            if (!ok) throw error();
            if (tipo == QMetaType::Double || tipo == QMetaType::Float) return d;
            const qlonglong entero = t.toLongLong(&ok);
            return ok ? QVariant(entero) : QVariant(d);
        }
        bool ok = false;
        v.toDouble(&ok);
        if (!ok) throw error();
        return v;
    }
    if (tipo == QMetaType::Bool) {
        if (v.typeId() == QMetaType::QString) {
            const QString t = v.toString().trimmed().toLower();
            if (t == u"true" || t == u"1" || t == u"-1") return true;
            if (t == u"false" || t == u"0") return false;
            throw error();
        }
        return v.toDouble() != 0;
    }
    if (tipo == QMetaType::QString && v.typeId() != QMetaType::QString) {
        // Text columns get text; SQLite would otherwise keep the number as a number.
        if (v.canConvert<QString>()) return v.toString();
        throw error();
    }
    return v;
}

}  // namespace

RegistroDatos::RegistroDatos() : d(std::make_unique<Impl>()) {}
RegistroDatos::~RegistroDatos() = default;

bool RegistroDatos::Abierto() const {
    return d->cursor.Abierto();
}

bool RegistroDatos::Eof() const {
    d->ExigirAbierto();
    if (d->estado != Impl::Estado::Posicion) return false;
    if (d->cursor.Leer(d->pos)) return false;
    if (!d->cursor.UltimoError().isEmpty() && d->cursor.Cantidad() < 0) {
        throw ErrorBase(d->cursor.UltimoError());
    }
    return true;
}

void RegistroDatos::MoveFirst() {
    d->ExigirAbierto();
    d->DejarEdicion();
    d->estado = Impl::Estado::Posicion;
    d->pos = 0;
}

void RegistroDatos::MoveNext() {
    d->ExigirAbierto();
    d->DejarEdicion();
    switch (d->estado) {
        case Impl::Estado::Borrada:
            // The rows after the deleted one have moved up into its place.
            break;
        case Impl::Estado::Agregada:
            // Back among the positions: the row that was current before AddNew, if any.
            break;
        case Impl::Estado::Posicion:
            if (Eof()) throw ErrorBase(QStringLiteral("Either BOF or EOF is True."));
            ++d->pos;
            break;
    }
    d->estado = Impl::Estado::Posicion;
}

void RegistroDatos::MovePrevious() {
    d->ExigirAbierto();
    d->DejarEdicion();
    if (d->estado == Impl::Estado::Posicion && Eof() && d->pos == 0) {
        throw ErrorBase(QStringLiteral("Either BOF or EOF is True."));
    }
    d->estado = Impl::Estado::Posicion;
    d->pos = qMax<qint64>(0, d->pos - 1);
}

void RegistroDatos::MoveLast() {
    d->ExigirAbierto();
    d->DejarEdicion();
    const qint64 n = d->cursor.Cantidad();
    if (n < 0) throw ErrorBase(d->cursor.UltimoError());
    d->estado = Impl::Estado::Posicion;
    d->pos = qMax<qint64>(0, n - 1);
}

void RegistroDatos::Move(int posicion) {
    d->ExigirAbierto();
    d->DejarEdicion();
    const qint64 n = d->cursor.Cantidad();
    if (n < 0) throw ErrorBase(d->cursor.UltimoError());
    d->estado = Impl::Estado::Posicion;
    d->pos = qBound<qint64>(0, qint64(posicion) - 1, n);
}

int RegistroDatos::RecordCount() const {
    d->ExigirAbierto();
    const qint64 n = d->cursor.Cantidad();
    if (n < 0) throw ErrorBase(d->cursor.UltimoError());
    return int(qMin<qint64>(n, INT_MAX));
}

int RegistroDatos::AbsolutePosition() const {
    if (!Abierto() || d->estado != Impl::Estado::Posicion || !d->cursor.Leer(d->pos)) return 0;
    return int(qMin<qint64>(d->pos + 1, INT_MAX));
}

QVariant RegistroDatos::Campo(const QString& nombre) const {
    d->ExigirAbierto();
    const int k = d->ExigirColumna(nombre);
    if (d->edicion != Impl::Edicion::Ninguna) {
        if (auto it = d->pendientes.constFind(k); it != d->pendientes.constEnd()) return *it;
        if (d->edicion == Impl::Edicion::Nueva) return QVariant();
    }
    const CursorDatos::Fila& f = d->ExigirActual();
    return k < f.valores.size() ? f.valores.at(k) : QVariant();
}

void RegistroDatos::AsignarCampo(const QString& nombre, const QVariant& v) {
    d->ExigirInsertable();
    const int k = d->ExigirColumna(nombre);
    if (d->edicion == Impl::Edicion::Ninguna) {
        d->ExigirActualizable();  // changing a stored row needs its key
        d->ExigirActual();
        d->edicion = Impl::Edicion::Cambio;
    }
    d->pendientes.insert(k, Convertir(v, d->cursor.Columnas().field(k)));
}

void RegistroDatos::AddNew() {
    d->ExigirInsertable();
    d->DejarEdicion();
    d->edicion = Impl::Edicion::Nueva;
}

void RegistroDatos::CancelUpdate() {
    d->DejarEdicion();
}

void RegistroDatos::Update() {
    d->ExigirAbierto();
    if (d->edicion == Impl::Edicion::Ninguna) return;
    QList<int> columnas = d->pendientes.keys();
    std::sort(columnas.begin(), columnas.end());
    const QString tabla = d->cursor.Tabla();
    const QString id = d->cursor.ExpresionId();

    // Whatever happens, the edit ends here: a row the engine refused is not kept pending.
    const Impl::Edicion edicion = d->edicion;
    const QHash<int, QVariant> pendientes = d->pendientes;
    d->DejarEdicion();

    if (edicion == Impl::Edicion::Nueva) {
        QStringList nombres, marcas;
        for (int k : columnas) {
            nombres << d->Columna(k);
            marcas << QStringLiteral("?");
        }
        QString sql = nombres.isEmpty() ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(tabla)
                                        : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                              .arg(tabla, nombres.join(u','), marcas.join(u','));
        if (!id.isEmpty()) sql += QStringLiteral(" RETURNING ") + id;
        d->cursor.Invalidar();
        QSqlQuery& q = d->Sentencia(sql);
        for (int i = 0; i < columnas.size(); ++i) q.bindValue(i, pendientes.value(columnas[i]));
        if (!q.exec()) throw ErrorBase::DesdeSql(q.lastError());
        CursorDatos::Fila fila;
        fila.valores.resize(d->cursor.Columnas().count());
        for (int k : columnas) fila.valores[k] = pendientes.value(k);
        if (q.next()) fila.id = q.value(0);
        q.finish();
        d->agregada = std::move(fila);
        d->estado = Impl::Estado::Agregada;
        return;
    }

    CursorDatos::Fila fila = d->ExigirActual();
    QStringList asignaciones;
    for (int k : columnas) asignaciones << d->Columna(k) + QStringLiteral("=?");
    if (asignaciones.isEmpty()) return;
    QString sql =
        QStringLiteral("UPDATE %1 SET %2 WHERE %3=?").arg(tabla, asignaciones.join(u','), id);
    d->cursor.Invalidar();
    QSqlQuery& q = d->Sentencia(sql);
    int i = 0;
    for (; i < columnas.size(); ++i) q.bindValue(i, pendientes.value(columnas[i]));
    q.bindValue(i, fila.id);
    if (!q.exec()) throw ErrorBase::DesdeSql(q.lastError());
    const bool hecho = q.numRowsAffected() > 0;
    q.finish();
    if (!hecho) {
        throw ErrorBase(QStringLiteral("The row was changed or deleted by another user."));
    }
    for (int k : columnas) fila.valores[k] = pendientes.value(k);
    if (d->estado == Impl::Estado::Agregada) d->agregada = std::move(fila);
}

void RegistroDatos::Delete() {
    d->ExigirActualizable();
    d->DejarEdicion();
    const CursorDatos::Fila fila = d->ExigirActual();
    d->cursor.Invalidar();
    QSqlQuery& q = d->Sentencia(QStringLiteral("DELETE FROM %1 WHERE %2=?")
                                    .arg(d->cursor.Tabla(), d->cursor.ExpresionId()));
    q.bindValue(0, fila.id);
    if (!q.exec()) throw ErrorBase::DesdeSql(q.lastError());
    const bool hecho = q.numRowsAffected() > 0;
    q.finish();
    if (!hecho) throw ErrorBase(QStringLiteral("The row was deleted by another user."));
    if (d->estado == Impl::Estado::Agregada) {
        d->estado = Impl::Estado::Posicion;  // the appended row was not among the positions
    } else {
        d->estado = Impl::Estado::Borrada;
    }
}

void RegistroDatos::Close() {
    d->DejarEdicion();
    d->sentencias.clear();
    d->cursor.Cerrar();
    d->estado = Impl::Estado::Posicion;
    d->pos = 0;
}

QStringList RegistroDatos::Columnas() const {
    QStringList nombres;
    const QSqlRecord& r = d->cursor.Columnas();
    for (int k = 0; k < r.count(); ++k) nombres << r.fieldName(k);
    return nombres;
}

QString RegistroDatos::CadenaConexion() const {
    return d->cadena;
}
QString RegistroDatos::Fuente() const {
    return d->cursor.Fuente();
}
QVariantList RegistroDatos::Valores() const {
    return d->cursor.Valores();
}

// ---------------------------------------------------------------------------------------------
// CDatos

struct CDatos::Impl {
    QString nombre;  // the thread's shared connection for `cadena`
    QString cadena;
    bool abierta = false;
    QString error;
};

CDatos::CDatos() : d(std::make_unique<Impl>()) {}

CDatos::~CDatos() {
    Registro.Close();
}

void CDatos::AbrirBase(const QString& nombreBase) {
    Registro.Close();
    d->cadena = nombreBase;
    d->error.clear();
    const QSqlDatabase db = ConexionPara(nombreBase, &d->error);
    d->abierta = db.isValid() && db.isOpen();
    d->nombre = d->abierta ? db.connectionName() : QString();
    if (!d->abierta) qCWarning(lcDatos) << "cannot open the database:" << d->error;
}

void CDatos::AbreRegistro(const QString& ConsultaSQL, const QVariantList& valores) {
    Registro.Close();
    Registro.d->cadena = d->cadena;
    if (!d->abierta) {
        d->error = QStringLiteral("the database is not open");
        qCWarning(lcDatos) << "cannot open" << ConsultaSQL << ": the database is not open";
        return;
    }
    QString error;
    if (!Registro.d->cursor.Abrir(d->nombre, ConsultaSQL, valores, &error)) {
        d->error = error;
        qCWarning(lcDatos) << "cannot open" << ConsultaSQL << ":" << error;
        return;
    }
    d->error.clear();
}

bool CDatos::Existe_Registro() {
    return !Registro.Eof();
}

qint32 CDatos::Cant_Registros() {
    // The engine counts (COUNT(*)) instead of walking millions of rows; the result and the
    // final position on the first row are the same.
    try {
        Registro.MoveFirst();
        if (Registro.Eof()) return 0;
        const int n = Registro.RecordCount();
        try {
            Registro.MoveFirst();
        } catch (const ErrorBase&) {
        }
        return n;
    } catch (const ErrorBase& e) {
        qCDebug(lcDatos) << "Cant_Registros:" << e.descripcion();
        return 0;
    }
}

void CDatos::AgregaRegistros(const QList<ParCampo>& pares) {
    // Every step runs even when an earlier one failed; a failing step is skipped.
    const bool transaccion = d->abierta && QSqlDatabase::database(d->nombre, false).transaction();
    auto paso = [](auto&& f) {
        try {
            f();
        } catch (const ErrorBase& e) {
            qCDebug(lcDatos) << "AgregaRegistros, step skipped:" << e.descripcion();
        }
    };
    paso([&] { Registro.AddNew(); });
    for (int k = 0; k < pares.size() && k < 27; ++k) {
        const ParCampo& par = pares.at(k);
        if (k > 0 && par.campo.isEmpty()) continue;
        const bool vacio = !par.valor.isValid() || par.valor.isNull() ||
                           (par.valor.canConvert<QString>() && par.valor.toString().isEmpty());
        paso([&] {
            Registro.AsignarCampo(par.campo,
                                  k > 0 && vacio ? QVariant(QStringLiteral("")) : par.valor);
        });
    }
    paso([&] { Registro.Update(); });
    if (transaccion && !QSqlDatabase::database(d->nombre, false).commit()) {
        qCWarning(lcDatos) << "AgregaRegistros: commit failed, row not stored";
        QSqlDatabase::database(d->nombre, false).rollback();
    }
}

void CDatos::EditaRegistros(const QList<ParCampo>& pares) {
    auto paso = [](auto&& f) {
        try {
            f();
        } catch (const ErrorBase& e) {
            qCDebug(lcDatos) << "EditaRegistros, step skipped:" << e.descripcion();
        }
    };
    for (int k = 0; k < pares.size() && k < 27; ++k) {
        const ParCampo& par = pares.at(k);
        if (k > 0 && par.campo.isEmpty()) continue;
        paso([&] { Registro.AsignarCampo(par.campo, par.valor); });
    }
    paso([&] { Registro.Update(); });
}

void CDatos::Eliminar_Registro() {
    Registro.Delete();
}

void CDatos::CierraRegistro() {
    Registro.Close();
}

void CDatos::CerrarBase() {
    // The connection stays with the thread for the next user; only this object lets go of it.
    Registro.Close();
    d->abierta = false;
    d->nombre.clear();
}

bool CDatos::BaseAbierta() const {
    return d->abierta;
}
QString CDatos::UltimoError() const {
    return d->error;
}
QString CDatos::NombreConexion() const {
    return d->nombre;
}

void CDatos::CompactaryReparar(const QString& baseOri, Interaccion* interaccion) {
    auto fallar = [&](const QString& numero, const QString& descripcion) {
        qCWarning(lcDatos) << "compaction of" << baseOri << "failed:" << numero << descripcion;
        if (interaccion) {
            interaccion->Avisar(QStringLiteral("Error al compactar la base de datos:\n") + numero +
                                    u' ' + descripcion,
                                QStringLiteral("Error al compactar la base de datos"),
                                Icono::Exclamacion);
        }
    };
    // A bare path or a connection string naming the file.
    QString cadena = baseOri;
    if (!baseOri.contains(u'=')) cadena = QStringLiteral("Data Source=\"%1\";").arg(baseOri);
    QString error;
    const auto c = AnalizarCadenaConexion(cadena, &error);
    if (!c || c->driver != u"QSQLITE") {
        fallar(QStringLiteral("0"),
               c ? QStringLiteral("only SQLite files can be compacted") : error);
        return;
    }
    const QTime ahora = QTime::currentTime();
    const QString temporal =
        QDir::current().absoluteFilePath(QStringLiteral("DBT_%1%2.db")
                                             .arg(ahora.minute(), 2, 10, QLatin1Char('0'))
                                             .arg(ahora.second(), 2, 10, QLatin1Char('0')));
    if (QFile::exists(temporal) && !QFile::remove(temporal)) {
        fallar(QStringLiteral("0"), QStringLiteral("cannot delete %1").arg(temporal));
        return;
    }
    // The thread's own connection to the file would go on writing to the replaced file (and its
    // write-ahead log would be replayed onto the new one).
    CerrarConexionPara(cadena);
    const QString nombre = NuevoNombreConexion();
    if (!AbrirConexion(nombre, cadena, false, &error)) {
        fallar(QStringLiteral("0"), error);
        return;
    }
    QSqlError fallo;
    {
        QSqlQuery q(QSqlDatabase::database(nombre, false));
        q.prepare(QStringLiteral("VACUUM INTO ?"));
        q.addBindValue(temporal);
        if (!q.exec()) fallo = q.lastError();
    }
    CerrarConexion(nombre);
    if (fallo.isValid()) {
        QFile::remove(temporal);
        fallar(fallo.nativeErrorCode(), fallo.databaseText());
        return;
    }
    // Replace the original in one step: it is never gone while the copy waits under another name.
    if (std::rename(QFile::encodeName(temporal).constData(),
                    QFile::encodeName(c->archivo).constData()) != 0) {
        const int e = errno;
        QFile::remove(temporal);
        fallar(QString::number(e), QString::fromLocal8Bit(std::strerror(e)));
    }
}
