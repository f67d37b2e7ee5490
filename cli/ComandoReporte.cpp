// bascora-cli reporte [--desde DD/MM/AAAA] [--hasta DD/MM/AAAA] [--lote N]
//                     [--campo COLUMNA --patron TEXTO] [--csv ARCHIVO | --xlsx ARCHIVO]
// The stored weighings, filtered like the report window does (all filters given must hold),
// printed one per line with the total of Peso, or exported to a CSV file or a workbook.
#include <QDate>
#include <QLocale>
#include <QTextStream>

#include "cli/Comandos.h"
#include "reports/ExportarReporte.h"

namespace {

constexpr int kColumnasImpresas = 10;  // Lote .. Codigo5: the columns the report shows

struct OpcionesReporte {
    QDate desde, hasta;
    QString lote, campo, patron, csv, xlsx;
};

// Usage errors: false with the reason in *error.
bool LeerOpciones(const QStringList& argumentos, OpcionesReporte& o, QString* error) {
    for (qsizetype i = 0; i < argumentos.size(); ++i) {
        const QString& a = argumentos.at(i);
        if (i + 1 >= argumentos.size()) {
            *error = QStringLiteral("missing value after ") + a;
            return false;
        }
        const QString valor = argumentos.at(++i);
        const auto fecha = [&](QDate& destino) {
            destino = QDate::fromString(valor, QStringLiteral("dd/MM/yyyy"));
            if (!destino.isValid())
                *error = a + QStringLiteral(": not a date DD/MM/AAAA: ") + valor;
            return destino.isValid();
        };
        if (a == u"--desde") {
            if (!fecha(o.desde)) return false;
        } else if (a == u"--hasta") {
            if (!fecha(o.hasta)) return false;
        } else if (a == u"--lote") {
            bool numero = false;
            valor.toLongLong(&numero);
            if (!numero) {
                *error = QStringLiteral("--lote: not a number: ") + valor;
                return false;
            }
            o.lote = valor;
        } else if (a == u"--campo") {
            o.campo = valor;
        } else if (a == u"--patron") {
            o.patron = valor;
        } else if (a == u"--csv") {
            o.csv = valor;
        } else if (a == u"--xlsx") {
            o.xlsx = valor;
        } else {
            *error = QStringLiteral("unknown option ") + a;
            return false;
        }
    }
    if (!o.campo.isEmpty() && o.patron.isEmpty()) {
        *error = QStringLiteral("--campo needs --patron");
        return false;
    }
    if (!o.patron.isEmpty() && o.campo.isEmpty()) {
        *error = QStringLiteral("--patron needs --campo");
        return false;
    }
    if (!o.campo.isEmpty() && !ColumnasReporte().contains(o.campo, Qt::CaseInsensitive)) {
        *error = QStringLiteral("--campo must be one of ") + ColumnasReporte().join(u' ');
        return false;
    }
    if (!o.csv.isEmpty() && !o.xlsx.isEmpty()) {
        *error = QStringLiteral("--csv and --xlsx exclude each other");
        return false;
    }
    if (o.desde.isValid() && o.hasta.isValid() && o.desde > o.hasta) {
        *error = QStringLiteral("--desde is later than --hasta");
        return false;
    }
    return true;
}

VistaReporte VistaDe(const OpcionesReporte& o) {
    VistaReporte vista{TablaDe(TablaLogica::Reporte), {}, QString()};
    if (o.desde.isValid() || o.hasta.isValid()) {
        // An open end reaches the first or last stored day.
        const QDate desde = o.desde.isValid() ? o.desde : QDate(1, 1, 1);
        const QDate hasta = o.hasta.isValid() ? o.hasta : QDate(9999, 12, 31);
        vista.filtros << *FiltroFecha(QStringLiteral("Fecha"), desde, hasta,
                                      QStringLiteral("DD/MM/YYYY"));
        vista.orden = QStringLiteral("Fecha");
    }
    if (!o.lote.isEmpty()) {
        vista.filtros << FiltroNumero(QStringLiteral("Lote"), TipoFiltro::Numero, o.lote, o.lote);
    }
    if (!o.campo.isEmpty()) vista.filtros << FiltroTexto(o.campo, o.patron);
    return vista;
}

int Imprimir(const VistaReporte& vista) {
    QTextStream salida(stdout);
    QTextStream error(stderr);
    ConsultaReporte consulta;
    QString motivo;
    if (!consulta.Abrir(vista, &motivo)) {
        error << "reporte: " << motivo << "\n";
        return 1;
    }
    const QStringList columnas = consulta.Columnas().mid(0, kColumnasImpresas);
    const qsizetype peso = columnas.indexOf(QStringLiteral("Peso"));
    salida << columnas.join(u'\t') << "\n";
    double total = 0;
    qint64 filas = 0;
    const bool ok = consulta.Recorrer(
        [&](const QVariantList& fila) {
            QStringList textos;
            for (qsizetype k = 0; k < columnas.size(); ++k) textos << fila.at(k).toString();
            salida << textos.join(u'\t') << "\n";
            if (peso >= 0) total += fila.at(peso).toDouble();
            ++filas;
            return true;
        },
        &motivo);
    if (!ok) {
        error << "reporte: " << motivo << "\n";
        return 1;
    }
    salida << filas << " pesadas, Peso total: "
           << QLocale::c().toString(total, 'g', QLocale::FloatingPointShortest) << "\n";
    return 0;
}

int Reporte(const QStringList& argumentos) {
    QTextStream error(stderr);
    OpcionesReporte o;
    QString motivo;
    if (!LeerOpciones(argumentos, o, &motivo)) {
        error << "reporte: " << motivo << "\n";
        return 2;
    }
    const VistaReporte vista = VistaDe(o);
    if (o.csv.isEmpty() && o.xlsx.isEmpty()) return Imprimir(vista);
    const bool ok = o.csv.isEmpty() ? ExportarLibro(vista, o.xlsx, {}, &motivo)
                                    : ExportarCsv(vista, o.csv, {}, &motivo);
    if (!ok) {
        error << "reporte: " << motivo << "\n";
        return 1;
    }
    QTextStream(stdout) << (o.csv.isEmpty() ? o.xlsx : o.csv) << "\n";
    return 0;
}

}  // namespace

BASCORA_COMANDO("reporte",
                "reporte [--desde DD/MM/AAAA] [--hasta DD/MM/AAAA] [--lote N] [--campo COLUMNA "
                "--patron TEXTO] [--csv ARCHIVO | --xlsx ARCHIVO]: the stored weighings",
                Reporte);
