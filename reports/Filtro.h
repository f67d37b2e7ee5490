#pragma once
// Filter criteria of the weighing report: a text pattern, a number range (compared as numbers or
// as text) or a date range on one column. A criterion carries its values apart from the SQL, so
// that whatever the operator types is data and never part of the statement.

#include <QDate>
#include <QString>
#include <QVariantList>
#include <optional>

class QSqlDriver;

enum class TipoFiltro { Texto = 0, Numero = 1, NumeroTexto = 2, Fecha = 3 };

struct Filtro {
    QString campo;  // the report column the operator chose
    TipoFiltro tipo = TipoFiltro::Texto;
    QString criterio;      // SQL after the compared column, one "?" per value; empty: cancelled
    QVariantList valores;  // bound in order
    QString descripcion;   // readable form, shown beside the report
    bool aceptado = false;
};

// "*" becomes "%", an empty text "%".
Filtro FiltroTexto(const QString& campo, const QString& texto);

// The boxes as the window shows them after Aceptar: an empty second box takes the first, a box
// whose value is 0 (text that is not a number included) reads "0", others their numeric value.
struct CajasNumero {
    QString desde;
    QString hasta;
};
CajasNumero NormalizarCajas(const QString& desde, const QString& hasta);
// tipo Numero binds numbers, NumeroTexto binds the texts of the boxes.
Filtro FiltroNumero(const QString& campo, TipoFiltro tipo, const QString& desde,
                    const QString& hasta);

// Nothing when desde is later than hasta. Dates are bound as ISO text (yyyy-MM-dd), compared with
// the report's calendar date column; patronFecha writes them in the description.
std::optional<Filtro> FiltroFecha(const QString& campo, const QDate& desde, const QDate& hasta,
                                  const QString& patronFecha);

Filtro FiltroCancelado(const QString& campo, TipoFiltro tipo);

// "(" + columna + " " + criterio + ")", with the placeholders.
QString TextoClausula(const Filtro& filtro, const QString& columna);
