// Weighing report figures on a table of 2,000,000 weighings (SQLite, temporary folder): the
// preparation filling the calendar date column, opening the report window, moving to its last
// row, every sort, a date filter over one month, the grid's first screen, and a CSV export.
// Usage: bench_reporte [rows]
#include <QApplication>
#include <QTableView>

#include "base/Globales.h"
#include "bench/Medir.h"
#include "data/Conexion.h"
#include "reports/ConsultaReporte.h"
#include "reports/ExportarReporte.h"
#include "reports/ui/FrmDataGrid.h"
#include "reports/ui/FrmReporte.h"
#include "tests/support/CarpetaTemporal.h"

namespace {

void Medir(const char* que, const VistaReporte& vista) {
    QElapsedTimer t;
    t.start();
    ConsultaReporte c;
    QString error;
    if (!c.Abrir(vista, &error)) {
        std::printf("%-34s FAILED: %s\n", que, qPrintable(error));
        return;
    }
    c.Fila(1);
    const double abrir = Ms(t);
    const qint64 n = c.Cantidad();
    const QVariantList ultima = c.Fila(n);
    const double ultimo = Ms(t) - abrir;
    c.Fila(n - 1);
    std::printf(
        "%-34s open + first row %6.0f ms, last row %6.0f ms, previous %4.1f ms (%lld rows, "
        "last Numero %s)\n",
        que, abrir, ultimo, Ms(t) - abrir - ultimo, n,
        ultima.isEmpty() ? "-" : qPrintable(ultima.at(1).toString()));
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int filas = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 2000000;
    CarpetaTemporal carpeta;
    const QString cadena = CadenaConexionPredeterminada();
    DataCSReporte = DataCSPLU_SETUP = cadena;
    DataTbReporte = QStringLiteral("Reporte");
    DataTbPLU_SETUP = QStringLiteral("PLU_SETUP");

    if (!TablaGrande(cadena, filas)) return 1;
    CerrarConexionesDelHilo();

    QElapsedTimer t;
    t.start();
    {
        frmReporte ventana;
        ventana.show();
        app.processEvents();
        const double abrir = Ms(t);
        std::printf("report window: open %.0f ms (%s), ", abrir, qPrintable(Caption(ventana)));
        ventana.IrA(ventana.Cantidad());
        app.processEvents();
        std::printf("to the last row %.0f ms (%s)\n", Ms(t) - abrir, qPrintable(Caption(ventana)));
    }

    const TablaDatos tabla{cadena, QStringLiteral("Reporte")};
    Medir("no sort (Lote, Numero)", {tabla, {}, QString()});
    for (const QString& c : ColumnasReporte().mid(0, 10))
        Medir(qPrintable(QStringLiteral("sorted by ") + c), {tabla, {}, c});
    const VistaReporte mes{
        tabla,
        {*FiltroFecha("Fecha", QDate(2005, 3, 1), QDate(2005, 3, 31), "DD/MM/YYYY")},
        "Fecha"};
    Medir("date filter March 2005", mes);
    Medir("number filter Peso 100-200",
          {tabla, {FiltroNumero("Peso", TipoFiltro::Numero, "100", "200")}, "Peso"});
    Medir("text filter Hora 09:*", {tabla, {FiltroTexto("Hora", "09:*")}, QStringLiteral("Hora")});

    for (const auto& [que, vista] : {std::pair{"whole table", VistaReporte{tabla, {}, QString()}},
                                     std::pair{"March 2005", mes}}) {
        ConsultaReporte c;
        c.Abrir(vista, nullptr);
        FrmDataGrid grilla;
        t.restart();
        grilla.Abrir(cadena, c.Sql(false), c.Valores());
        grilla.show();
        grilla.findChild<QTableView*>(QStringLiteral("grdDataGrid"))->repaint();
        app.processEvents();
        std::printf("grid first screen, %-11s %6.0f ms (%s)\n", que, Ms(t),
                    qPrintable(Caption(grilla)));
    }

    t.restart();
    QString error;
    const bool ok = ExportarCsv(mes, carpeta.ruta("marzo.csv"), {}, &error);
    std::printf("CSV export of March 2005: %.0f ms %s\n", Ms(t), ok ? "" : qPrintable(error));
    return 0;
}
