#include "data/ModeloDatos.h"

#include <QSqlRecord>

#include "data/Conexion.h"
#include "data/CursorDatos.h"

ModeloDatos::ModeloDatos(QObject* parent)
    : QAbstractTableModel(parent), cursor_(std::make_unique<CursorDatos>()) {}

ModeloDatos::~ModeloDatos() {
    cursor_->Cerrar();
}

bool ModeloDatos::Abrir(const QString& cadenaConexion, const QString& sql,
                        const QVariantList& valores) {
    beginResetModel();
    cursor_->Cerrar();
    filas_ = 0;
    error_.clear();
    const QSqlDatabase db = ConexionPara(cadenaConexion, &error_);
    bool ok = db.isOpen() && cursor_->Abrir(db.connectionName(), sql, valores, &error_);
    if (ok) {
        const qint64 n = cursor_->Cantidad();
        ok = n >= 0;
        if (ok) {
            filas_ = int(qMin<qint64>(n, INT_MAX));
        } else {
            error_ = cursor_->UltimoError();
        }
    }
    if (!ok) {
        qCWarning(lcDatos) << "grid source not opened:" << error_;
        cursor_->Cerrar();
    }
    endResetModel();
    return ok;
}

void ModeloDatos::Cerrar() {
    beginResetModel();
    cursor_->Cerrar();
    filas_ = 0;
    endResetModel();
}

bool ModeloDatos::Abierto() const {
    return cursor_->Abierto();
}

int ModeloDatos::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : filas_;
}

int ModeloDatos::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : cursor_->Columnas().count();
}

QVariant ModeloDatos::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) return QVariant();
    const CursorDatos::Fila* fila = cursor_->Leer(index.row());
    if (!fila || index.column() >= fila->valores.size()) return QVariant();
    return fila->valores.at(index.column());
}

QVariant ModeloDatos::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return QVariant();
    if (orientation == Qt::Vertical) return section + 1;
    return cursor_->Columnas().fieldName(section);
}
