#include "reports/ConsultaReporte.h"

#include <QLoggingCategory>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <algorithm>

#include "data/Conexion.h"
#include "data/Provision.h"

Q_LOGGING_CATEGORY(lcReporte, "bascora.reporte")

namespace {

constexpr qint64 kBloque = 64;  // rows read around a position

bool EsPostgres(const QSqlDatabase& db) {
    return db.driverName() == u"QPSQL";
}

bool NombreSimple(const QString& nombre) {
    static const QRegularExpression simple(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    return simple.match(nombre).hasMatch();
}

void Fallo(QString* error, const QString& texto) {
    qCWarning(lcReporte) << texto;
    if (error) *error = texto;
}

bool EsTipoTexto(const QSqlField& campo) {
    const int id = campo.metaType().id();
    return id == QMetaType::QString || id == QMetaType::QByteArray || id == QMetaType::QChar;
}

}  // namespace

const QStringList& ColumnasReporte() {
    static const QStringList columnas = [] {
        QStringList c{QStringLiteral("Lote"), QStringLiteral("Numero"), QStringLiteral("Fecha"),
                      QStringLiteral("Hora"), QStringLiteral("Peso")};
        for (int k = 1; k <= 8; ++k) c << QStringLiteral("Codigo%1").arg(k);
        return c;
    }();
    return columnas;
}

QString TablaSql(const QSqlDatabase& db, const QString& tabla) {
    const QString nombre = EsPostgres(db) && NombreSimple(tabla) ? tabla.toLower() : tabla;
    return db.driver()->escapeIdentifier(nombre, QSqlDriver::TableName);
}

bool ConsultaReporte::Abrir(const VistaReporte& vista, QString* error) {
    vista_ = vista;
    columnas_.clear();
    columnasTexto_.clear();
    bloque_.clear();
    cantidad_ = -1;
    fechaIso_ = false;
    QString motivo;
    db_ = ConexionPara(vista.tabla.conexion, &motivo);
    if (!db_.isOpen()) {
        Fallo(error, motivo);
        return false;
    }
    tablaSql_ = TablaSql(db_, vista.tabla.tabla);
    const QSqlRecord registro =
        db_.record(EsPostgres(db_) && NombreSimple(vista.tabla.tabla) ? vista.tabla.tabla.toLower()
                                                                      : vista.tabla.tabla);
    if (registro.isEmpty()) {
        Fallo(error, QStringLiteral("table %1 not found").arg(vista.tabla.tabla));
        return false;
    }
    const auto buscar = [&](const QString& nombre) {
        for (int k = 0; k < registro.count(); ++k) {
            if (registro.fieldName(k).compare(nombre, Qt::CaseInsensitive) == 0) return k;
        }
        return -1;
    };
    for (const QString& c : ColumnasReporte()) {
        const int k = buscar(c);
        if (k < 0) continue;
        columnas_ << c;
        if (EsTipoTexto(registro.field(k))) columnasTexto_ << c;
    }
    fechaIso_ = buscar(QString::fromLatin1(ColumnaFechaIso)) >= 0;
    for (const Filtro& f : vista_.filtros) {
        if (ColumnaReal(f.campo).isEmpty() || f.criterio.isEmpty()) {
            Fallo(error, QStringLiteral("no filter on column %1").arg(f.campo));
            return false;
        }
    }
    if (!vista_.orden.isEmpty() && ColumnaReal(vista_.orden).isEmpty()) {
        Fallo(error, QStringLiteral("cannot sort by %1").arg(vista_.orden));
        return false;
    }
    return Cantidad(error) >= 0;
}

QString ConsultaReporte::ColumnaReal(const QString& nombre) const {
    for (const QString& c : columnas_) {
        if (c.compare(nombre, Qt::CaseInsensitive) == 0) return c;
    }
    return QString();
}

bool ConsultaReporte::ColumnaDeTexto(const QString& columna) const {
    return columnasTexto_.contains(ColumnaReal(columna));
}

TipoFiltro ConsultaReporte::TipoFiltroDe(const QString& columna) const {
    if (ColumnaReal(columna) == u"Fecha") return TipoFiltro::Fecha;
    return ColumnaDeTexto(columna) ? TipoFiltro::Texto : TipoFiltro::Numero;
}

QString ConsultaReporte::Comparada(const Filtro& f) const {
    const QString columna = ColumnaReal(f.campo);
    if (f.tipo == TipoFiltro::Fecha) {
        return fechaIso_ ? QString::fromLatin1(ColumnaFechaIso) : ExpresionFechaIso(columna);
    }
    // A pattern on a number column compares its decimal text.
    if (f.tipo == TipoFiltro::Texto && !ColumnaDeTexto(columna)) {
        return QStringLiteral("CAST(%1 AS VARCHAR(40))").arg(columna);
    }
    return columna;
}

QString ConsultaReporte::Where() const {
    QStringList partes;
    for (const Filtro& f : vista_.filtros) partes << TextoClausula(f, Comparada(f));
    return partes.isEmpty() ? QString() : QStringLiteral(" WHERE ") + partes.join(u" AND ");
}

QString ConsultaReporte::OrdenSql(bool descendente) const {
    const QString orden = ColumnaReal(vista_.orden);
    QStringList terminos;
    if (orden.isEmpty() || orden == u"Lote") {
        terminos = {QStringLiteral("Lote"), QStringLiteral("Numero")};
    } else if (orden == u"Numero") {
        terminos = {QStringLiteral("Numero"), QStringLiteral("Lote")};
    } else if (orden == u"Fecha") {
        // By calendar date and time of day, not by the text of Fecha.
        terminos = {fechaIso_ ? QString::fromLatin1(ColumnaFechaIso) : ExpresionFechaIso(orden),
                    QStringLiteral("Hora"), QStringLiteral("Lote"), QStringLiteral("Numero")};
    } else {
        terminos = {orden, QStringLiteral("Lote"), QStringLiteral("Numero")};
    }
    if (descendente) {
        for (QString& t : terminos) t += QStringLiteral(" DESC");
    }
    return QStringLiteral(" ORDER BY ") + terminos.join(QStringLiteral(", "));
}

QString ConsultaReporte::Select(bool descendente) const {
    return QStringLiteral("SELECT %1 FROM %2")
               .arg(columnas_.join(QStringLiteral(", ")), tablaSql_) +
           Where() + OrdenSql(descendente);
}

QVariantList ConsultaReporte::Valores() const {
    QVariantList valores;
    for (const Filtro& f : vista_.filtros) valores += f.valores;
    return valores;
}

bool ConsultaReporte::Preparar(QSqlQuery& q, const QString& sql, QString* error) const {
    q.setForwardOnly(true);
    if (!q.prepare(sql)) {
        Fallo(error, q.lastError().text());
        return false;
    }
    for (const QVariant& v : Valores()) q.addBindValue(v);
    if (!q.exec()) {
        Fallo(error, q.lastError().text());
        return false;
    }
    return true;
}

qint64 ConsultaReporte::Cantidad(QString* error) {
    if (cantidad_ >= 0) return cantidad_;
    QSqlQuery q(db_);
    if (!Preparar(q, QStringLiteral("SELECT COUNT(*) FROM ") + tablaSql_ + Where(), error)) {
        return -1;
    }
    if (!q.next()) {
        Fallo(error, q.lastError().text());
        return -1;
    }
    cantidad_ = q.value(0).toLongLong();
    return cantidad_;
}

QVariantList ConsultaReporte::Fila(qint64 posicion, QString* error) {
    const qint64 n = Cantidad(error);
    if (posicion < 1 || posicion > n) return {};
    if (posicion >= bloqueInicio_ && posicion < bloqueInicio_ + bloque_.size()) {
        return bloque_.at(posicion - bloqueInicio_);
    }
    // From the nearer end: an OFFSET is a walk over the rows it skips.
    const bool desdeElFinal = posicion - 1 > n - posicion;
    const qint64 distancia = desdeElFinal ? n - posicion : posicion - 1;
    const qint64 salto = qMax<qint64>(0, distancia - kBloque / 2);
    QSqlQuery q(db_);
    const QString sql =
        Select(desdeElFinal) + QStringLiteral(" LIMIT %1 OFFSET %2").arg(kBloque).arg(salto);
    if (!Preparar(q, sql, error)) return {};
    QList<QVariantList> filas;
    while (q.next()) {
        QVariantList valores;
        for (int k = 0; k < columnas_.size(); ++k) valores << q.value(k);
        filas << valores;
    }
    if (q.lastError().isValid()) {
        Fallo(error, q.lastError().text());
        return {};
    }
    if (desdeElFinal) {
        std::reverse(filas.begin(), filas.end());
        bloqueInicio_ = n - salto - filas.size() + 1;
    } else {
        bloqueInicio_ = salto + 1;
    }
    bloque_ = filas;
    if (posicion < bloqueInicio_ || posicion >= bloqueInicio_ + bloque_.size()) return {};
    return bloque_.at(posicion - bloqueInicio_);
}

bool ConsultaReporte::Recorrer(const std::function<bool(const QVariantList&)>& fila,
                               QString* error) {
    QSqlQuery q(db_);
    if (!Preparar(q, Select(false), error)) return false;
    QVariantList valores;
    while (q.next()) {
        valores.clear();
        for (int k = 0; k < columnas_.size(); ++k) valores << q.value(k);
        if (!fila(valores)) return true;
    }
    if (q.lastError().isValid()) {
        Fallo(error, q.lastError().text());
        return false;
    }
    return true;
}

bool BorrarPesadas(const TablaDatos& tabla, QString* error) {
    QString motivo;
    QSqlDatabase db = ConexionPara(tabla.conexion, &motivo);
    if (!db.isOpen()) {
        Fallo(error, motivo);
        return false;
    }
    if (!db.transaction()) {
        Fallo(error, db.lastError().text());
        return false;
    }
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("DELETE FROM ") + TablaSql(db, tabla.tabla))) {
        Fallo(error, q.lastError().text());
        db.rollback();
        return false;
    }
    if (!db.commit()) {
        Fallo(error, db.lastError().text());
        db.rollback();
        return false;
    }
    return true;
}

QStringList NombresCodigos(const TablaDatos& configuracion, QString* error) {
    QString motivo;
    QSqlDatabase db = ConexionPara(configuracion.conexion, &motivo);
    if (!db.isOpen()) {
        Fallo(error, motivo);
        return {};
    }
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT Nombre FROM %1 ORDER BY Codigo ASC")
                    .arg(TablaSql(db, configuracion.tabla)))) {
        Fallo(error, q.lastError().text());
        return {};
    }
    QStringList nombres;
    while (nombres.size() < 8 && q.next()) nombres << q.value(0).toString();
    return nombres;
}
