#pragma once
// SQLite tables of the data folder for the weighing and download tests.

#include <QDir>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>
#include <QVariant>
#include <vector>

namespace aux {

inline const QString kConexion = QStringLiteral("Driver=QSQLITE;Data Source=datos.db;");

// Runs the statements on datos.db in the current folder (created when missing), each row of the
// last one into *filas; false at the first error.
inline bool Sql(const QStringList& sentencias, std::vector<QVariantList>* filas = nullptr) {
    const QString nombre = QStringLiteral("prueba_pesadas_aux");
    bool ok = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), nombre);
        db.setDatabaseName(QDir::current().filePath(QStringLiteral("datos.db")));
        ok = db.open();
        for (qsizetype i = 0; ok && i < sentencias.size(); ++i) {
            QSqlQuery q(db);
            ok = q.exec(sentencias[i]);
            while (ok && filas && i + 1 == sentencias.size() && q.next()) {
                QVariantList fila;
                for (int c = 0; c < q.record().count(); ++c) fila.append(q.value(c));
                filas->push_back(fila);
            }
        }
    }
    QSqlDatabase::removeDatabase(nombre);
    return ok;
}

}  // namespace aux
