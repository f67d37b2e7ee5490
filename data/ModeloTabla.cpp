#include "data/ModeloTabla.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <exception>

#include "data/Conexion.h"
#include "data/CursorDatos.h"

namespace {

QString TextoError(const QSqlError& error) {
    const QString texto = error.databaseText();
    return texto.isEmpty() ? error.text() : texto;
}

}  // namespace

ModeloTabla::ModeloTabla(QObject* parent)
    : QAbstractTableModel(parent), cursor_(std::make_unique<CursorDatos>()) {}

ModeloTabla::~ModeloTabla() {
    cursor_->Cerrar();
}

bool ModeloTabla::Abrir(const TablaDatos& tabla, const QString& filtro, const QVariantList& valores,
                        const QStringList& orden) {
    tabla_ = tabla;
    filtro_ = filtro.trimmed();
    valores_ = valores;
    orden_ = orden;
    return Refrescar();
}

bool ModeloTabla::Refrescar() {
    beginResetModel();
    const bool ok = Leer();
    endResetModel();
    if (!ok) {
        qCWarning(lcDatos) << "table" << tabla_.tabla << "not opened:" << error_;
        Q_EMIT Fallo(error_);
    }
    return ok;
}

bool ModeloTabla::Leer() {
    cursor_->Cerrar();
    filas_ = 0;
    error_.clear();
    // Inside a transaction the connection must stay the same one.
    const QSqlDatabase db = transaccion_ ? QSqlDatabase::database(conexion_, false)
                                         : ConexionPara(tabla_.conexion, &error_);
    if (!db.isOpen()) {
        if (error_.isEmpty()) error_ = QStringLiteral("the database is not open");
        return false;
    }
    conexion_ = db.connectionName();
    const QSqlRecord columnas = db.record(NombreEnCatalogo(db, tabla_.tabla));
    if (columnas.isEmpty()) {
        error_ = QStringLiteral("table %1 not found").arg(tabla_.tabla);
        return false;
    }
    QStringList orden;
    for (const QString& entrada : std::as_const(orden_)) {
        QString nombre = entrada.trimmed();
        QString sentido;
        for (const QString& s : {QStringLiteral(" DESC"), QStringLiteral(" ASC")}) {
            if (nombre.endsWith(s, Qt::CaseInsensitive)) {
                sentido = s;
                nombre = nombre.chopped(s.size()).trimmed();
            }
        }
        const int k = columnas.indexOf(nombre);
        if (k < 0) {
            error_ = QStringLiteral("table %1 has no column %2").arg(tabla_.tabla, nombre);
            return false;
        }
        orden << db.driver()->escapeIdentifier(columnas.fieldName(k), QSqlDriver::FieldName) +
                     sentido;
    }
    QString sql = QStringLiteral("SELECT * FROM ") + NombreSql() + CondicionFiltro();
    if (!orden.isEmpty()) sql += QStringLiteral(" ORDER BY ") + orden.join(QStringLiteral(", "));
    if (!cursor_->Abrir(conexion_, sql, valores_, &error_)) return false;
    const qint64 n = cursor_->Cantidad();
    if (n < 0) {
        error_ = cursor_->UltimoError();
        cursor_->Cerrar();
        return false;
    }
    filas_ = int(qMin<qint64>(n, INT_MAX));
    return true;
}

void ModeloTabla::Cerrar() {
    beginResetModel();
    cursor_->Cerrar();
    filas_ = 0;
    endResetModel();
}

bool ModeloTabla::Abierto() const {
    return cursor_->Abierto();
}

QString ModeloTabla::NombreSql() const {
    return NombreTablaSql(QSqlDatabase::database(conexion_, false), tabla_.tabla);
}

QString ModeloTabla::CondicionFiltro() const {
    return filtro_.isEmpty() ? QString() : QStringLiteral(" WHERE (%1)").arg(filtro_);
}

int ModeloTabla::Columna(const QString& nombre) const {
    return cursor_->IndiceColumna(nombre);
}

QString ModeloTabla::NombreColumna(int columna) const {
    return cursor_->Columnas().fieldName(columna);
}

QString ModeloTabla::ColumnaSql(const QString& nombre) const {
    const int k = Columna(nombre);
    if (k < 0) return QString();
    return QSqlDatabase::database(conexion_, false)
        .driver()
        ->escapeIdentifier(NombreColumna(k), QSqlDriver::FieldName);
}

QVariant ModeloTabla::Valor(int fila, const QString& columna) const {
    const int k = Columna(columna);
    const CursorDatos::Fila* f = k < 0 ? nullptr : cursor_->Leer(fila);
    return f && k < f->valores.size() ? f->valores.at(k) : QVariant();
}

std::optional<qint64> ModeloTabla::Id(int fila) const {
    const CursorDatos::Fila* f = fila < 0 ? nullptr : cursor_->Leer(fila);
    if (!f || !f->id.isValid()) return std::nullopt;
    return f->id.toLongLong();
}

int ModeloTabla::FilaDeId(qint64 id) const {
    for (int fila = 0; fila < filas_; ++fila) {
        if (Id(fila) == id) return fila;
    }
    return -1;
}

bool ModeloTabla::Fallar(const QString& error) {
    error_ = error;
    qCWarning(lcDatos) << "table" << tabla_.tabla << "change refused:" << error;
    Q_EMIT Fallo(error);
    return false;
}

bool ModeloTabla::Ejecutar(const QString& sql, const QVariantList& valores) {
    cursor_->Invalidar();
    ultimaConsulta_ = QSqlQuery();
    QSqlQuery q(QSqlDatabase::database(conexion_, false));
    if (!q.prepare(sql)) return Fallar(TextoError(q.lastError()));
    for (int k = 0; k < valores.size(); ++k) q.bindValue(k, valores.at(k));
    if (!q.exec()) return Fallar(TextoError(q.lastError()));
    ultimaConsulta_ = std::move(q);
    return true;
}

void ModeloTabla::Releer() {
    // Inside a transaction the rows are read once at its end.
    if (transaccion_) return;
    Refrescar();
}

std::optional<qint64> ModeloTabla::Agregar(const QVariantMap& valores) {
    if (!EscribibleOFallo()) return std::nullopt;
    QStringList nombres, marcas;
    QVariantList datos;
    for (auto it = valores.cbegin(); it != valores.cend(); ++it) {
        const QString columna = ColumnaSql(it.key());
        if (columna.isEmpty()) {
            Fallar(QStringLiteral("table %1 has no column %2").arg(tabla_.tabla, it.key()));
            return std::nullopt;
        }
        nombres << columna;
        marcas << QStringLiteral("?");
        datos << it.value();
    }
    const QString sql =
        (nombres.isEmpty() ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(NombreSql())
                           : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                 .arg(NombreSql(), nombres.join(u','), marcas.join(u','))) +
        QStringLiteral(" RETURNING ") + cursor_->ExpresionId();
    if (!Ejecutar(sql, datos)) return std::nullopt;
    std::optional<qint64> id;
    if (ultimaConsulta_.next()) id = ultimaConsulta_.value(0).toLongLong();
    ultimaConsulta_ = QSqlQuery();
    Releer();
    return id;
}

bool ModeloTabla::EscribibleOFallo() {
    if (!cursor_->Abierto()) return Fallar(QStringLiteral("the table is not open"));
    if (!cursor_->Actualizable()) {
        const QString motivo = cursor_->MotivoSoloLectura();
        return Fallar(motivo.isEmpty() ? QStringLiteral("the table cannot be changed") : motivo);
    }
    return true;
}

bool ModeloTabla::Cambiar(int fila, const QString& columna, const QVariant& valor) {
    if (!EscribibleOFallo()) return false;
    const std::optional<qint64> id = Id(fila);
    if (!id) return Fallar(QStringLiteral("row %1 is not there").arg(fila + 1));
    const QString nombre = ColumnaSql(columna);
    if (nombre.isEmpty()) {
        return Fallar(QStringLiteral("table %1 has no column %2").arg(tabla_.tabla, columna));
    }
    if (nombre == cursor_->ExpresionId())
        return Fallar(QStringLiteral("the key cannot be changed"));
    if (!Ejecutar(QStringLiteral("UPDATE %1 SET %2 = ? WHERE %3 = ?")
                      .arg(NombreSql(), nombre, cursor_->ExpresionId()),
                  {valor, *id})) {
        return false;
    }
    const bool hecho = ultimaConsulta_.numRowsAffected() > 0;
    ultimaConsulta_ = QSqlQuery();
    if (!hecho) {
        Releer();
        return Fallar(QStringLiteral("The row was changed or deleted by another user."));
    }
    // Same rows in the same places unless the change can move or hide the row.
    const int k = Columna(columna);
    bool mueve = !filtro_.isEmpty();
    for (const QString& o : std::as_const(orden_)) {
        mueve = mueve || o.trimmed().startsWith(NombreColumna(k), Qt::CaseInsensitive);
    }
    if (mueve) {
        Releer();
    } else {
        Q_EMIT dataChanged(index(fila, 0), index(fila, columnCount() - 1));
    }
    return true;
}

bool ModeloTabla::Borrar(int fila, int cantidad) {
    if (!EscribibleOFallo()) return false;
    QVariantList ids;
    for (int k = fila; k < fila + cantidad; ++k) {
        const std::optional<qint64> id = Id(k);
        if (!id) return Fallar(QStringLiteral("row %1 is not there").arg(k + 1));
        ids << *id;
    }
    const QString sql =
        QStringLiteral("DELETE FROM %1 WHERE %2 = ?").arg(NombreSql(), cursor_->ExpresionId());
    auto pasos = [&] {
        for (const QVariant& id : std::as_const(ids)) {
            if (!Ejecutar(sql, {id})) return false;
        }
        return true;
    };
    if (transaccion_ || ids.size() == 1) {
        const bool ok = pasos();
        ultimaConsulta_ = QSqlQuery();
        Releer();
        return ok;
    }
    return transaccion(pasos);
}

bool ModeloTabla::BorrarTodas() {
    if (!EscribibleOFallo()) return false;
    const bool ok =
        Ejecutar(QStringLiteral("DELETE FROM ") + NombreSql() + CondicionFiltro(), valores_);
    ultimaConsulta_ = QSqlQuery();
    Releer();
    return ok;
}

bool ModeloTabla::transaccion(const std::function<bool()>& pasos) {
    if (transaccion_) return pasos();  // part of the transaction already open
    QSqlDatabase db = QSqlDatabase::database(conexion_, false);
    if (!db.isOpen()) return Fallar(QStringLiteral("the database is not open"));
    cursor_->Invalidar();
    if (!db.transaction()) {
        return Fallar(QStringLiteral("cannot start a transaction: ") + TextoError(db.lastError()));
    }
    transaccion_ = true;
    error_.clear();
    bool ok = false;
    try {
        ok = pasos();
    } catch (const std::exception& e) {
        Fallar(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        Fallar(QStringLiteral("the changes failed"));
    }
    ultimaConsulta_ = QSqlQuery();
    cursor_->Invalidar();
    if (ok && !db.commit()) {
        Fallar(QStringLiteral("commit failed: ") + TextoError(db.lastError()));
        ok = false;
    }
    if (!ok) {
        db.rollback();
        if (error_.isEmpty()) error_ = QStringLiteral("the changes were undone");
    }
    transaccion_ = false;
    const QString error = error_;
    Refrescar();
    if (!ok) error_ = error;
    return ok;
}

int ModeloTabla::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : filas_;
}

int ModeloTabla::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : cursor_->Columnas().count();
}

QVariant ModeloTabla::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) return QVariant();
    const CursorDatos::Fila* fila = cursor_->Leer(index.row());
    if (!fila || index.column() >= fila->valores.size()) return QVariant();
    return fila->valores.at(index.column());
}

QVariant ModeloTabla::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return QVariant();
    if (orientation == Qt::Vertical) return section + 1;
    return NombreColumna(section);
}

Qt::ItemFlags ModeloTabla::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (!index.isValid() || !cursor_->Actualizable()) return f;
    if (NombreColumna(index.column()).compare(QStringLiteral("Id"), Qt::CaseInsensitive) == 0) {
        return f;
    }
    return f | Qt::ItemIsEditable;
}

bool ModeloTabla::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole) return false;
    return Cambiar(index.row(), NombreColumna(index.column()), value);
}

bool ModeloTabla::insertRows(int row, int count, const QModelIndex& parent) {
    Q_UNUSED(row);
    if (parent.isValid() || count < 1) return false;
    return transaccion([&] {
        for (int k = 0; k < count; ++k) {
            if (!Agregar({})) return false;
        }
        return true;
    });
}

bool ModeloTabla::removeRows(int row, int count, const QModelIndex& parent) {
    if (parent.isValid() || count < 1) return false;
    return Borrar(row, count);
}
