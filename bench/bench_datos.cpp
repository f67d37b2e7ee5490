// Data store figures on a weighing table of 2,000,000 rows (SQLite, temporary folder):
// filling it, appending single committed weighings through CDatos, the editable table model on a
// filtered view, opening the grid window on the whole table and reaching its last row, and
// sorting the grid by each column.
// Usage: bench_datos [rows] [--pg]   (--pg: the server of BASCORA_PRUEBA_PG instead of SQLite)
#include <QApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTableView>
#include <cstdio>

#include "data/CDatos.h"
#include "data/Conexion.h"
#include "data/ModeloTabla.h"
#include "data/Provision.h"
#include "data/Tablas.h"
#include "reports/ui/FrmDataGrid.h"
#include "tests/support/CarpetaTemporal.h"
#include "tests/support/PesadasAleatorias.h"

namespace {

double Ms(const QElapsedTimer& t) {
    return t.nsecsElapsed() / 1e6;
}

bool Llenar(const QString& cadena, int filas) {
    const bool ok = LlenarPesadasAleatorias(cadena, filas);
    InformeProvision informe;
    PrepararBase(cadena, informe);  // puts the indexes back
    if (!informe.ok()) std::fprintf(stderr, "%s", qPrintable(informe.Texto()));
    return ok && informe.ok();
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int filas = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 2000000;
    CarpetaTemporal carpeta;
    const bool pg = argc > 2 && QByteArray(argv[2]) == "--pg";
    const QString cadena =
        pg ? qEnvironmentVariable("BASCORA_PRUEBA_PG") : CadenaConexionPredeterminada();
    if (cadena.isEmpty()) {
        std::fprintf(stderr,
                     "BASCORA_PRUEBA_PG is not set (run through scripts/postgres-prueba.sh)\n");
        return 2;
    }
    if (pg) {
        const QString nombre = NuevoNombreConexion();
        if (AbrirConexion(nombre, cadena, false, nullptr)) {
            QSqlQuery(QSqlDatabase::database(nombre, false))
                .exec(QStringLiteral("DROP TABLE IF EXISTS reporte"));
        }
        CerrarConexion(nombre);
    }
    std::printf("engine: %s\n", pg ? "PostgreSQL" : "SQLite");
    InformeProvision informe;
    PrepararBase(cadena, informe);

    QElapsedTimer t;
    t.start();
    if (!Llenar(cadena, filas)) return 1;
    std::printf("fill %d rows (one transaction, then indexes): %.0f ms\n", filas, Ms(t));

    // 500 weighings, each one committed row, the way a download stores them.
    t.restart();
    {
        CDatos datos;
        datos.AbrirBase(cadena);
        datos.AbreRegistro(QStringLiteral("SELECT * FROM Reporte ORDER BY Lote,Numero ASC"));
        const int lote = filas / 500 + 10;
        for (int i = 1; i <= 500; ++i) {
            datos.Registro.AddNew();
            datos.Registro.AsignarCampo(QStringLiteral("Lote"), lote);
            datos.Registro.AsignarCampo(QStringLiteral("Numero"), i);
            datos.Registro.AsignarCampo(QStringLiteral("Fecha"), QStringLiteral("24/12/05"));
            datos.Registro.AsignarCampo(QStringLiteral("Hora"), QStringLiteral("09:30"));
            datos.Registro.AsignarCampo(QStringLiteral("Peso"), 1234.5);
            for (int k = 1; k <= 5; ++k) {
                datos.Registro.AsignarCampo(QStringLiteral("Codigo%1").arg(k), k);
            }
            datos.Registro.Update();
        }
        datos.CierraRegistro();
        datos.CerrarBase();
        CerrarConexionesDelHilo();  // a download is a job: its thread's connection ends with it
    }
    std::printf("append 500 weighings, one committed row each: %.0f ms total (%.2f ms a row)\n",
                Ms(t), Ms(t) / 500);

    t.restart();
    {
        CDatos datos;
        datos.AbrirBase(cadena);
        datos.AbreRegistro(QStringLiteral("SELECT * FROM Reporte ORDER BY Lote,Numero ASC"));
        const bool hay = datos.Existe_Registro();
        const double abrir = Ms(t);
        datos.Registro.MoveLast();
        const int ultimo = datos.Registro.Campo(QStringLiteral("Numero")).toInt();
        std::printf("CDatos: open %.0f ms, MoveLast %.0f ms (rows %d, last Numero %d, %s)\n", abrir,
                    Ms(t) - abrir, datos.Registro.RecordCount(), ultimo, hay ? "ok" : "EMPTY");
    }

    // The editable model: a filtered, sorted view of the whole table, its last row edited by key.
    t.restart();
    {
        ModeloTabla modelo;
        modelo.Abrir({cadena, QStringLiteral("Reporte")}, QStringLiteral("Codigo1 > ?"), {0},
                     {QStringLiteral("Lote"), QStringLiteral("Numero")});
        const double abrir = Ms(t);
        const int ultima = modelo.rowCount() - 1;
        const bool cambiada =
            modelo.Cambiar(ultima, QStringLiteral("Hora"), QStringLiteral("23:59"));
        std::printf("table model: open filtered %.0f ms, edit the last row %.0f ms (rows %d, %s)\n",
                    abrir, Ms(t) - abrir, modelo.rowCount(),
                    cambiada ? "ok" : qPrintable(modelo.Error()));
    }

    FrmDataGrid ventana;
    auto* grilla = ventana.findChild<QTableView*>(QStringLiteral("grdDataGrid"));
    t.restart();
    ventana.Abrir(cadena, QStringLiteral("SELECT * FROM Reporte ORDER BY lote, numero ASC"));
    ventana.show();
    app.processEvents();
    const double abrir = Ms(t);
    ventana.IrA(ventana.Cantidad());
    grilla->repaint();
    std::printf(
        "grid: open on the whole table %.0f ms, to the last row %.0f ms (total %.0f ms, %s)\n",
        abrir, Ms(t) - abrir, Ms(t),
        qPrintable(
            ventana.findChild<QWidget*>(QStringLiteral("Data1"))->property("caption").toString()));

    for (const ColumnaTabla& c : Descripcion(TablaLogica::Reporte).columnas) {
        t.restart();
        ventana.Abrir(cadena,
                      QStringLiteral("SELECT * FROM Reporte ORDER BY %1 ASC").arg(c.nombre));
        grilla->repaint();
        const double orden = Ms(t);
        ventana.IrA(ventana.Cantidad());
        grilla->repaint();
        std::printf("grid sorted by %-8s first rows %5.0f ms, last row %5.0f ms\n",
                    qPrintable(c.nombre), orden, Ms(t) - orden);
    }
    return 0;
}
