#pragma once
// The weighing report's record set: the weighing table seen through the operator's filters and
// sort order. Rows are counted by the engine and read by position in small blocks, each from the
// nearer end of the order, so that millions of rows open, sort and reach their last row at once.
// Dates are compared and sorted on the calendar date column FechaIso (filled by the downloads and
// by the folder preparation), because Fecha holds text such as "24/12/05".

#include <QList>
#include <QSqlDatabase>
#include <QStringList>
#include <QVariantList>
#include <functional>

#include "data/Tablas.h"
#include "reports/Filtro.h"

class QSqlQuery;
class QSqlRecord;

inline constexpr char ColumnaFechaIso[] = "FechaIso";

// What the report shows: a table, the filters in force (all must hold) and the column sorted by
// (empty: Lote, Numero).
struct VistaReporte {
    TablaDatos tabla;
    QList<Filtro> filtros;
    QString orden;
};

// The thirteen columns of the report's boxes, in box order.
const QStringList& ColumnasReporte();

// A table name as an SQL identifier. PostgreSQL keeps unquoted names in lower case, so a plain
// name is folded before it is quoted.
QString TablaSql(const QSqlDatabase& db, const QString& tabla);

class ConsultaReporte {
  public:
    // Opens the calling thread's connection and learns which report columns the table has. False
    // and *error when the database or the table cannot be reached, or a filter or the order names
    // a column that is not one of the report's.
    bool Abrir(const VistaReporte& vista, QString* error);

    const VistaReporte& Vista() const { return vista_; }
    QStringList Columnas() const { return columnas_; }  // present in the table, box order
    bool ColumnaDeTexto(const QString& columna) const;
    bool TieneFechaIso() const { return fechaIso_; }
    // The filter kind that fits a column: dates for Fecha, text patterns for text columns,
    // number ranges for the rest.
    TipoFiltro TipoFiltroDe(const QString& columna) const;

    qint64 Cantidad(QString* error = nullptr);  // -1 on a failure
    // The values of Columnas() at a 1-based position; empty out of range or on a failure.
    QVariantList Fila(qint64 posicion, QString* error = nullptr);
    // Every row in order, values of Columnas(); `fila` returns false to stop early.
    bool Recorrer(const std::function<bool(const QVariantList&)>& fila, QString* error);

    // The SELECT as run, with its placeholders and their values (query plans, benchmarks).
    QString Sql(bool descendente) const { return Select(descendente); }
    QVariantList Valores() const;

  private:
    QString ColumnaReal(const QString& nombre) const;  // "" when not a report column
    QString Comparada(const Filtro& f) const;
    QString Where() const;
    QString OrdenSql(bool descendente) const;
    QString Select(bool descendente) const;
    bool Preparar(QSqlQuery& q, const QString& sql, QString* error) const;

    VistaReporte vista_;
    QSqlDatabase db_;
    QString tablaSql_;
    QStringList columnas_;
    QStringList columnasTexto_;
    bool fechaIso_ = false;
    qint64 cantidad_ = -1;
    qint64 bloqueInicio_ = 0;  // 1-based position of bloque_.first()
    QList<QVariantList> bloque_;
};

// Deletes every stored weighing in one transaction: all of them or, on a failure, none.
bool BorrarPesadas(const TablaDatos& tabla, QString* error);

// Names of the product-group configuration ordered by Codigo: one per code box, at most eight
// (rows after the eighth have no box and are left out).
QStringList NombresCodigos(const TablaDatos& configuracion, QString* error = nullptr);
