#include "tests/support/PesadasAleatorias.h"

#include <QDate>
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
            const QDate dia(2000 + azar->bounded(0, 26), azar->bounded(1, 13),
                            azar->bounded(1, 29));
            q.bindValue(2, dia.toString(QStringLiteral("dd/MM/yy")));
            q.bindValue(3, QTime(azar->bounded(0, 24), azar->bounded(0, 60)).toString(u"hh:mm"));
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
