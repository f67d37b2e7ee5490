// Data store figures on a weighing table of 2,000,000 rows (SQLite, temporary folder):
// filling it, appending single committed weighings through CDatos, the editable table model on a
// filtered view, opening the grid window on the whole table and reaching its last row, and
// sorting the grid by each column.
// Usage: bench_datos [rows] [--pg]   (--pg: the server of BASCORA_PRUEBA_PG instead of SQLite)
#include <QApplication>
#include <QSqlQuery>
#include <QTableView>

#include "bench/Medir.h"
#include "data/CDatos.h"
#include "data/Conexion.h"
#include "data/ModeloTabla.h"
#include "data/Tablas.h"
#include "reports/ConsultaReporte.h"
#include "reports/ui/FrmDataGrid.h"
#include "tests/support/CarpetaTemporal.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int filas = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 2000000;
    const bool pg = argc > 2 && QByteArray(argv[2]) == "--pg";
    CarpetaTemporal carpeta;
    const QString cadena =
        pg ? qEnvironmentVariable("BASCORA_PRUEBA_PG") : CadenaConexionPredeterminada();
    if (cadena.isEmpty()) {
        std::fprintf(stderr,
                     "BASCORA_PRUEBA_PG is not set (run through scripts/postgres-prueba.sh)\n");
        return 2;
    }
    if (pg) QSqlQuery(ConexionPara(cadena)).exec(QStringLiteral("DROP TABLE IF EXISTS reporte"));
    std::printf("engine: %s\n", pg ? "PostgreSQL" : "SQLite");
    if (!TablaGrande(cadena, filas)) return 1;
    CerrarConexionesDelHilo();

    // 500 weighings, each one committed row, the way a download stores them.
    QElapsedTimer t;
    t.start();
    {
        CDatos datos;
        datos.AbrirBase(cadena);
        datos.AbreRegistro("SELECT * FROM Reporte ORDER BY Lote,Numero ASC");
        const int lote = filas / 500 + 10;
        for (int i = 1; i <= 500; ++i) {
            datos.Registro.AddNew();
            const QVariantList valores{lote, i, "24/12/05", "09:30", 1234.5, 1, 2, 3, 4, 5};
            for (int k = 0; k < valores.size(); ++k)
                datos.Registro.AsignarCampo(ColumnasReporte()[k], valores[k]);
            datos.Registro.Update();
        }
        datos.CerrarBase();
        CerrarConexionesDelHilo();  // a download is a job: its thread's connection ends with it
    }
    std::printf("append 500 weighings, one committed row each: %.0f ms total (%.2f ms a row)\n",
                Ms(t), Ms(t) / 500);

    t.restart();
    {
        CDatos datos;
        datos.AbrirBase(cadena);
        datos.AbreRegistro("SELECT * FROM Reporte ORDER BY Lote,Numero ASC");
        const bool hay = datos.Existe_Registro();
        const double abrir = Ms(t);
        datos.Registro.MoveLast();
        std::printf("CDatos: open %.0f ms, MoveLast %.0f ms (rows %d, last Numero %d, %s)\n", abrir,
                    Ms(t) - abrir, datos.Registro.RecordCount(),
                    datos.Registro.Campo("Numero").toInt(), hay ? "ok" : "EMPTY");
    }

    // The editable model: a filtered, sorted view of the whole table, its last row edited by key.
    t.restart();
    {
        ModeloTabla modelo;
        modelo.Abrir({cadena, "Reporte"}, "Codigo1 > ?", {0}, {"Lote", "Numero"});
        const double abrir = Ms(t);
        const bool cambiada = modelo.Cambiar(modelo.rowCount() - 1, "Hora", "23:59");
        std::printf("table model: open filtered %.0f ms, edit the last row %.0f ms (rows %d, %s)\n",
                    abrir, Ms(t) - abrir, modelo.rowCount(),
                    cambiada ? "ok" : qPrintable(modelo.Error()));
    }

    FrmDataGrid ventana;
    auto* grilla = ventana.findChild<QTableView*>("grdDataGrid");
    t.restart();
    ventana.Abrir(cadena, "SELECT * FROM Reporte ORDER BY lote, numero ASC");
    ventana.show();
    app.processEvents();
    const double abrir = Ms(t);
    ventana.IrA(ventana.Cantidad());
    grilla->repaint();
    std::printf(
        "grid: open on the whole table %.0f ms, to the last row %.0f ms (total %.0f ms, %s)\n",
        abrir, Ms(t) - abrir, Ms(t), qPrintable(Caption(ventana)));

    for (const ColumnaTabla& c : Descripcion(TablaLogica::Reporte).columnas) {
        t.restart();
        ventana.Abrir(cadena, "SELECT * FROM Reporte ORDER BY " + c.nombre + " ASC");
        grilla->repaint();
        const double orden = Ms(t);
        ventana.IrA(ventana.Cantidad());
        grilla->repaint();
        std::printf("grid sorted by %-8s first rows %5.0f ms, last row %5.0f ms\n",
                    qPrintable(c.nombre), orden, Ms(t) - orden);
    }
    return 0;
}
