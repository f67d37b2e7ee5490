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

namespace {

double Ms(const QElapsedTimer& t) {
    return t.nsecsElapsed() / 1e6;
}

bool Llenar(const QString& cadena, int filas) {
    const QString nombre = NuevoNombreConexion();
    QString error;
    if (!AbrirConexion(nombre, cadena, false, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return false;
    }
    bool ok = true;
    {
        QSqlDatabase db = QSqlDatabase::database(nombre, false);
        QSqlQuery q(db);
        // Indexes are built once after the rows are in, much faster than row by row.
        q.exec(db.driverName() == u"QPSQL"
                   ? QStringLiteral("SELECT indexname FROM pg_indexes WHERE tablename = 'reporte'")
                   : QStringLiteral("SELECT name FROM sqlite_master WHERE type='index' AND "
                                    "tbl_name='Reporte'"));
        QStringList indices;
        while (q.next()) indices << q.value(0).toString();
        for (const QString& i : indices) QSqlQuery(db).exec(QStringLiteral("DROP INDEX ") + i);
        db.transaction();
        q.prepare(
            QStringLiteral("INSERT INTO Reporte (Lote, Numero, Fecha, Hora, Peso, Codigo1, "
                           "Codigo2, Codigo3, Codigo4, Codigo5, Codigo6, Codigo7, Codigo8) "
                           "VALUES (?,?,?,?,?,?,?,?,?,?,0,0,0)"));
        auto* azar = QRandomGenerator::global();
        for (int i = 0; i < filas && ok; ++i) {
            q.bindValue(0, i / 500 + 1);
            q.bindValue(1, i % 500 + 1);
            q.bindValue(2, QStringLiteral("%1/%2/%3")
                               .arg(azar->bounded(1, 29), 2, 10, QLatin1Char('0'))
                               .arg(azar->bounded(1, 13), 2, 10, QLatin1Char('0'))
                               .arg(azar->bounded(0, 26), 2, 10, QLatin1Char('0')));
            q.bindValue(3, QStringLiteral("%1:%2")
                               .arg(azar->bounded(0, 24), 2, 10, QLatin1Char('0'))
                               .arg(azar->bounded(0, 60), 2, 10, QLatin1Char('0')));
            q.bindValue(4, azar->bounded(500000) / 10.0);
            for (int k = 5; k <= 9; ++k) q.bindValue(k, azar->bounded(1, 251));
            ok = q.exec();
            if (!ok) std::fprintf(stderr, "%s\n", qPrintable(q.lastError().text()));
        }
        db.commit();
    }
    CerrarConexion(nombre);
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
