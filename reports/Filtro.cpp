#include "reports/Filtro.h"

#include <QLocale>
#include <QSqlDriver>
#include <QSqlField>

#include "settings/Idioma.h"
#include "weighings/ArchivoPlano.h"
#include "weighings/TablaPesadas.h"

namespace {

// The value of a box the way the number filter reads it: its leading number, 0 otherwise.
QVariant ValorCaja(const QString& texto) {
    return ValorNumericoInicial(texto.trimmed());
}

QString TextoValor(const QVariant& v) {
    if (v.typeId() == QMetaType::Double) {
        return QLocale::c().toString(v.toDouble(), 'g', QLocale::FloatingPointShortest);
    }
    return v.toString();
}

// " entre 1 y 5": the range as the report shows it beside the field name.
QString DescripcionEntre(const QString& desde, const QString& hasta) {
    return u' ' + Frase({T("003009", "entre"), desde, T("003010", "y"), hasta});
}

}  // namespace

Filtro FiltroTexto(const QString& campo, const QString& texto) {
    QString patron = texto;
    patron.replace(u'*', u'%');
    if (patron.isEmpty()) patron = QStringLiteral("%");
    Filtro f;
    f.campo = campo;
    f.tipo = TipoFiltro::Texto;
    f.criterio = QStringLiteral("LIKE ?");
    f.valores = {patron};
    f.descripcion = QStringLiteral(" = ") + texto;
    f.aceptado = true;
    return f;
}

CajasNumero NormalizarCajas(const QString& desde, const QString& hasta) {
    const QString segunda = hasta.isEmpty() ? desde : hasta;
    return {TextoValor(ValorCaja(desde)), TextoValor(ValorCaja(segunda))};
}

Filtro FiltroNumero(const QString& campo, TipoFiltro tipo, const QString& desde,
                    const QString& hasta) {
    const CajasNumero cajas = NormalizarCajas(desde, hasta);
    Filtro f;
    f.campo = campo;
    f.tipo = tipo == TipoFiltro::NumeroTexto ? TipoFiltro::NumeroTexto : TipoFiltro::Numero;
    f.criterio = QStringLiteral("BETWEEN ? AND ?");
    if (f.tipo == TipoFiltro::NumeroTexto) {
        f.valores = {cajas.desde, cajas.hasta};
    } else {
        f.valores = {ValorCaja(cajas.desde), ValorCaja(cajas.hasta)};
    }
    f.descripcion = DescripcionEntre(cajas.desde, cajas.hasta);
    f.aceptado = true;
    return f;
}

std::optional<Filtro> FiltroFecha(const QString& campo, const QDate& desde, const QDate& hasta,
                                  const QString& patronFecha) {
    if (!desde.isValid() || !hasta.isValid() || desde > hasta) return std::nullopt;
    const QString d1 = FormatearFecha(desde, patronFecha);
    const QString d2 = FormatearFecha(hasta, patronFecha);
    Filtro f;
    f.campo = campo;
    f.tipo = TipoFiltro::Fecha;
    f.criterio = QStringLiteral("BETWEEN ? AND ?");
    f.valores = {desde.toString(Qt::ISODate), hasta.toString(Qt::ISODate)};
    f.descripcion = desde == hasta ? QStringLiteral(" = ") + d1 : DescripcionEntre(d1, d2);
    f.aceptado = true;
    return f;
}

Filtro FiltroCancelado(const QString& campo, TipoFiltro tipo) {
    Filtro f;
    f.campo = campo;
    f.tipo = tipo;
    return f;
}

QString TextoClausula(const Filtro& filtro, const QString& columna) {
    return u'(' + columna + u' ' + filtro.criterio + u')';
}
