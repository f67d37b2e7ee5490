#pragma once
// The rows of one SELECT, read by position without loading them all: a forward stream that is
// restarted at an OFFSET when the caller jumps, a small window of recent rows, and the row count
// from COUNT(*). A simple single-table SELECT over a table with an integer key column "Id" also
// carries each row's key, which makes the rows updatable, and gets it as the last sort key so
// that the order is stable. The SQL may hold "?" placeholders (in the WHERE clause for an
// updatable set) with their values given apart; no value is ever pasted into the text.

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QString>
#include <QVariant>
#include <QVector>
#include <deque>
#include <memory>

class CursorDatos {
  public:
    struct Fila {
        QVector<QVariant> valores;
        QVariant id;  // invalid when the set is not updatable
    };

    // Runs the query once to learn its columns. `sql` may be a bare table name.
    bool Abrir(const QString& conexion, const QString& sql, const QVariantList& valores,
               QString* error);
    void Cerrar();
    bool Abierto() const { return abierto_; }

    const QSqlRecord& Columnas() const { return columnas_; }
    int IndiceColumna(const QString& nombre) const;  // without regard to case; -1 when missing
    // Existing rows can be changed and deleted (the table has the key column).
    bool Actualizable() const { return !expresionId_.isEmpty(); }
    // New rows can be added (a single-table SELECT, with or without the key column).
    bool Insertable() const { return !tabla_.isEmpty(); }
    QString Tabla() const { return tabla_; }
    QString Fuente() const { return fuente_; }
    QVariantList Valores() const { return valores_; }
    QString Conexion() const { return conexion_; }
    bool EsPostgres() const { return postgres_; }
    // The key column, quoted for SQL; empty when the set is read-only.
    QString ExpresionId() const { return expresionId_; }
    // Why a set over one table is read-only (no key column), empty otherwise.
    QString MotivoSoloLectura() const { return motivoSoloLectura_; }
    // The name of `tabla`'s integer key column as the catalog has it, empty when it has none.
    static QString ColumnaClave(const QSqlDatabase& db, const QString& tabla);

    // Row i (0-based); nullptr past the end or on a failure (see UltimoError).
    const Fila* Leer(qint64 i);
    // Number of rows, -1 on a failure.
    qint64 Cantidad();
    // Call before running any other statement on the connection and after changing rows.
    void Invalidar();
    QString UltimoError() const { return error_; }

  private:
    void AbrirActualizable(const QSqlDatabase& db, const QString& tabla, const QString& cols,
                           const QString& resto, QString orden);
    bool Ejecutar(QSqlQuery& q, const QString& sql, const QVariantList& mas = {}) const;
    QVariantList ValoresSufijo(qint64 desde) const;
    bool Reiniciar(qint64 desde, bool conservarVentana = false);
    QString Sufijo(qint64 desde) const;

    bool abierto_ = false;
    bool postgres_ = false;
    QString conexion_;
    QString fuente_;       // the SELECT as given (a table name expanded)
    QString tabla_;        // the single table of the SELECT, empty for any other query
    QString expresionId_;  // its key column, quoted
    QString motivoSoloLectura_;
    QVariantList valores_;  // bound to the "?" of the query, in order
    QString lectura_;       // the SELECT actually run, without OFFSET
    QString cuenta_;        // its COUNT(*)
    QSqlRecord columnas_;   // visible columns
    int columnaId_ = -1;    // index of the identity in the query, -1 when none
    QString error_;

    std::unique_ptr<QSqlQuery> flujo_;
    bool flujoActivo_ = false;
    qint64 flujoSiguiente_ = 0;  // index of the row the next fetch returns
    qint64 bloqueLeido_ = 0;     // rows of the current LIMIT block read (PostgreSQL)
    std::deque<Fila> ventana_;   // rows [ventanaInicio_, ventanaInicio_ + size)
    qint64 ventanaInicio_ = 0;
    qint64 cantidad_ = -1;
};
