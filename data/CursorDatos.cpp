#include "data/CursorDatos.h"

#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlIndex>

#include "data/Conexion.h"

namespace {

constexpr int kVentana = 2048;      // recent rows kept
constexpr qint64 kSaltoMax = 4096;  // farther forward than this: restart at an OFFSET
constexpr qint64 kMargen = 64;      // rows before the target kept when restarting (scrolling up)
constexpr qint64 kBloquePg = 2000;  // PostgreSQL reads in LIMIT blocks, never a whole result

const QString kColumnaId = QStringLiteral("bascora_id_");
const QString kClave = QStringLiteral("Id");

}  // namespace

namespace {

// The table name as the catalog knows it: without quotes, and in lower case on PostgreSQL when
// it was written without quotes.
QString NombreEnCatalogo(const QString& tabla, bool postgres) {
    if (tabla.startsWith(u'"')) return tabla.mid(1, tabla.size() - 2);
    return postgres ? tabla.toLower() : tabla;
}

}  // namespace

QString CursorDatos::ColumnaClave(const QSqlDatabase& db, const QString& tabla) {
    const QSqlRecord r = db.record(NombreEnCatalogo(tabla, db.driverName() == u"QPSQL"));
    for (int k = 0; k < r.count(); ++k) {
        if (r.fieldName(k).compare(kClave, Qt::CaseInsensitive) == 0) return r.fieldName(k);
    }
    return QString();
}

bool CursorDatos::Abrir(const QString& conexion, const QString& sql, const QVariantList& valores,
                        QString* error) {
    Cerrar();
    conexion_ = conexion;
    valores_ = valores;
    QSqlDatabase db = QSqlDatabase::database(conexion_, false);
    if (!db.isOpen()) {
        error_ = QStringLiteral("the database is not open");
        if (error) *error = error_;
        return false;
    }
    postgres_ = db.driverName() == u"QPSQL";

    static const QRegularExpression soloTabla(
        QStringLiteral(R"(^\s*([A-Za-z_][A-Za-z0-9_]*|"[^"]+")\s*;?\s*$)"));
    fuente_ = sql;
    if (const auto m = soloTabla.match(sql); m.hasMatch()) {
        fuente_ = QStringLiteral("SELECT * FROM ") + m.captured(1);
    }

    // A plain "SELECT columns FROM table [WHERE ...] [ORDER BY ...]" can be written back to.
    static const QRegularExpression simple(
        QStringLiteral(R"(^\s*SELECT\s+(?!DISTINCT\b)(?<cols>[^()]*?)\s+FROM\s+)"
                       R"((?<tabla>[A-Za-z_][A-Za-z0-9_]*|"[^"]+")(?<resto>(?:\s+WHERE\s+.*?)?))"
                       R"((?:\s+ORDER\s+BY\s+(?<orden>[^()]+?))?\s*;?\s*$)"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression prohibidas(
        QStringLiteral(R"(\b(GROUP\s+BY|HAVING|LIMIT|OFFSET|UNION|INTERSECT|EXCEPT|JOIN)\b)"),
        QRegularExpression::CaseInsensitiveOption);

    const auto m = simple.match(fuente_);
    // Bound values only in the WHERE clause: the count query keeps just that part.
    if (m.hasMatch() && !m.captured(u"resto").contains(prohibidas) &&
        !m.captured(u"orden").contains(prohibidas) && !m.captured(u"cols").contains(u'?') &&
        !m.captured(u"orden").contains(u'?')) {
        AbrirActualizable(db, m.captured(u"tabla"), m.captured(u"cols"), m.captured(u"resto"),
                          m.captured(u"orden").trimmed());
    }
    if (!abierto_) {
        lectura_ = QStringLiteral("SELECT * FROM (%1) AS bascora_q").arg(fuente_);
        cuenta_ = QStringLiteral("SELECT COUNT(*) FROM (%1) AS bascora_q").arg(fuente_);
        if (!Reiniciar(0)) {
            const QString motivo = error_;
            if (error) *error = motivo;
            Cerrar();
            error_ = motivo;
            return false;
        }
        abierto_ = true;
    }
    const QSqlRecord todas = flujo_->record();
    for (int k = 0; k < todas.count(); ++k) {
        if (k != columnaId_) columnas_.append(todas.field(k));
    }
    error_.clear();
    return true;
}

void CursorDatos::AbrirActualizable(const QSqlDatabase& db, const QString& tabla,
                                    const QString& cols, const QString& resto, QString orden) {
    const QString clave = ColumnaClave(db, tabla);
    if (clave.isEmpty()) {
        // Engine row addresses (rowid, ctid) change or get reused; without the key the rows are
        // read and appended to, never changed or deleted.
        motivoSoloLectura_ =
            QStringLiteral("table %1 has no %2 key column; run \"bascora-cli preparar\" to add it")
                .arg(tabla, kClave);
        tabla_ = tabla;
        return;
    }
    expresionId_ = db.driver()->escapeIdentifier(clave, QSqlDriver::FieldName);
    if (orden.isEmpty()) {
        // Without an ORDER BY the rows come in key order (the ticket tables rely on it).
        const QSqlIndex primaria = db.primaryIndex(NombreEnCatalogo(tabla, postgres_));
        QStringList campos;
        for (int k = 0; k < primaria.count(); ++k) {
            campos << db.driver()->escapeIdentifier(primaria.fieldName(k), QSqlDriver::FieldName);
        }
        orden = campos.join(u", ");
    }
    orden = orden.isEmpty() ? expresionId_ : orden + QStringLiteral(", ") + expresionId_;
    lectura_ = QStringLiteral("SELECT %1 AS %2, %3 FROM %4%5 ORDER BY %6")
                   .arg(expresionId_, kColumnaId, cols, tabla, resto, orden);
    cuenta_ = QStringLiteral("SELECT COUNT(*) FROM %1%2").arg(tabla, resto);
    tabla_ = tabla;
    columnaId_ = 0;
    if (Reiniciar(0)) {
        abierto_ = true;
        return;
    }
    qCDebug(lcDatos) << "not updatable, read as it stands:" << error_;
    motivoSoloLectura_ = error_;
    tabla_.clear();
    expresionId_.clear();
    columnaId_ = -1;
}

void CursorDatos::Cerrar() {
    flujo_.reset();
    ventana_.clear();
    abierto_ = false;
    flujoActivo_ = false;
    tabla_.clear();
    expresionId_.clear();
    motivoSoloLectura_.clear();
    columnaId_ = -1;
    columnas_.clear();
    cantidad_ = -1;
}

int CursorDatos::IndiceColumna(const QString& nombre) const {
    for (int k = 0; k < columnas_.count(); ++k) {
        if (columnas_.fieldName(k).compare(nombre, Qt::CaseInsensitive) == 0) return k;
    }
    return -1;
}

QString CursorDatos::Sufijo(qint64 desde) const {
    if (postgres_) return QStringLiteral(" LIMIT ? OFFSET ?");
    return desde > 0 ? QStringLiteral(" LIMIT -1 OFFSET ?") : QString();
}

QVariantList CursorDatos::ValoresSufijo(qint64 desde) const {
    if (postgres_) return {kBloquePg, desde};
    return desde > 0 ? QVariantList{desde} : QVariantList{};
}

bool CursorDatos::Reiniciar(qint64 desde, bool conservarVentana) {
    flujo_ = std::make_unique<QSqlQuery>(QSqlDatabase::database(conexion_, false));
    // SQLite streams the rows. A PostgreSQL block comes whole: a streamed result would end early,
    // without an error, when another statement runs on the shared connection.
    flujo_->setForwardOnly(!postgres_);
    flujoActivo_ = false;
    if (!conservarVentana) {
        ventana_.clear();
        ventanaInicio_ = desde;
    }
    if (!Ejecutar(*flujo_, lectura_ + Sufijo(desde), ValoresSufijo(desde))) {
        error_ = flujo_->lastError().text();
        flujo_.reset();
        return false;
    }
    flujoActivo_ = true;
    flujoSiguiente_ = desde;
    bloqueLeido_ = 0;
    return true;
}

const CursorDatos::Fila* CursorDatos::Leer(qint64 i) {
    if (!abierto_ || i < 0) return nullptr;
    const qint64 fin = ventanaInicio_ + qint64(ventana_.size());
    if (i >= ventanaInicio_ && i < fin) return &ventana_[size_t(i - ventanaInicio_)];
    if (cantidad_ >= 0 && i >= cantidad_) return nullptr;
    const bool seguir = flujoActivo_ && fin == flujoSiguiente_ && i >= fin && i - fin <= kSaltoMax;
    if (!seguir && !Reiniciar(qMax<qint64>(0, i - kMargen))) return nullptr;

    while (flujoSiguiente_ <= i) {
        if (!flujo_->next()) {
            if (flujo_->lastError().isValid()) {
                error_ = flujo_->lastError().text();
                Invalidar();
                return nullptr;
            }
            // A full PostgreSQL block may have more behind it.
            if (postgres_ && bloqueLeido_ == kBloquePg) {
                if (!Reiniciar(flujoSiguiente_, true)) return nullptr;
                continue;
            }
            flujoActivo_ = false;
            cantidad_ = flujoSiguiente_;
            return nullptr;
        }
        Fila fila;
        const int n = flujo_->record().count();
        fila.valores.reserve(n);
        for (int k = 0; k < n; ++k) {
            if (k == columnaId_) {
                fila.id = flujo_->value(k);
            } else {
                fila.valores.append(flujo_->value(k));
            }
        }
        ventana_.push_back(std::move(fila));
        if (ventana_.size() > size_t(kVentana)) {
            ventana_.pop_front();
            ++ventanaInicio_;
        }
        ++flujoSiguiente_;
        ++bloqueLeido_;
    }
    return &ventana_[size_t(i - ventanaInicio_)];
}

qint64 CursorDatos::Cantidad() {
    if (!abierto_) return -1;
    if (cantidad_ >= 0) return cantidad_;
    // Another statement on a PostgreSQL connection ends the stream; the rows read stay.
    flujo_.reset();
    flujoActivo_ = false;
    QSqlQuery q(QSqlDatabase::database(conexion_, false));
    if (!Ejecutar(q, cuenta_) || !q.next()) {
        error_ = q.lastError().text();
        return -1;
    }
    cantidad_ = q.value(0).toLongLong();
    return cantidad_;
}

bool CursorDatos::Ejecutar(QSqlQuery& q, const QString& sql, const QVariantList& mas) const {
    if (valores_.isEmpty() && mas.isEmpty()) return q.exec(sql);
    if (!q.prepare(sql)) return false;
    int k = 0;
    for (const QVariant& v : valores_) q.bindValue(k++, v);
    for (const QVariant& v : mas) q.bindValue(k++, v);
    return q.exec();
}

void CursorDatos::Invalidar() {
    flujo_.reset();
    flujoActivo_ = false;
    ventana_.clear();
    ventanaInicio_ = 0;
    cantidad_ = -1;
}
