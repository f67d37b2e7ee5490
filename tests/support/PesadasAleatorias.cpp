#include "tests/support/PesadasAleatorias.h"

#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <cstdio>

#include "data/Conexion.h"

bool LlenarPesadasAleatorias(const QString& cadena, int filas) {
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
                           "Codigo2, Codigo3, Codigo4, Codigo5) VALUES (?,?,?,?,?,?,?,?,?,?)"));
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
    return ok;
}
