#pragma once
// CDatos: one record set over the calling thread's connection for a connection string
// ("Driver=QSQLITE;Data Source=datos.db;" or "Driver=QPSQL;Host=...;...", see ConexionPara), opened
// from an SQL text with "?" placeholders and their values. Rows are identified by the table's
// integer key column Id. Opening fails silently; the record operations raise ErrorBase.

#include <QList>
#include <QSqlError>
#include <QString>
#include <QVariant>
#include <memory>
#include <stdexcept>

class Interaccion;

// A failure of the database engine. esClaveDuplicada tells a unique-key violation (the
// "duplicate key" case of the downloads) from every other failure, on every engine.
class ErrorBase : public std::runtime_error {
  public:
    ErrorBase(const QString& descripcion, bool claveDuplicada = false, QString numero = QString());
    QString descripcion() const { return descripcion_; }
    bool esClaveDuplicada() const { return claveDuplicada_; }
    QString numero() const { return numero_; }  // the engine's own error code, when it gave one

    // Builds the error of an engine failure, recognising a unique-key violation.
    static ErrorBase DesdeSql(const QSqlError& error);

  private:
    QString descripcion_;
    bool claveDuplicada_;
    QString numero_;
};

// True when the engine error is a unique-key or primary-key violation (SQLite or PostgreSQL).
bool EsClaveDuplicada(const QSqlError& error);

// The open record set: by-name field access, end test, moves, append, update and delete.
// Rows are read as they are visited, never all at once, so a set over millions of rows opens
// and moves at once.
class RegistroDatos {
  public:
    RegistroDatos();
    ~RegistroDatos();
    RegistroDatos(const RegistroDatos&) = delete;
    RegistroDatos& operator=(const RegistroDatos&) = delete;

    bool Abierto() const;
    bool Eof() const;  // at the end (or empty); raises ErrorBase when not open
    void MoveFirst();
    void MoveNext();
    void MovePrevious();
    void MoveLast();
    void Move(int posicion);       // to the 1-based position (clamped to the set)
    int RecordCount() const;       // counted by the engine, not by reading the rows
    int AbsolutePosition() const;  // 1-based, 0 at the end

    QVariant Campo(const QString& nombre) const;                  // Fields(name).Value
    void AsignarCampo(const QString& nombre, const QVariant& v);  // Fields(name).Value = v
    void AddNew();
    void Update();  // stores the pending new or changed row at once
    void CancelUpdate();
    void Delete();  // deletes the current row
    void Close();

    QStringList Columnas() const;    // column names in query order
    QString CadenaConexion() const;  // where the set came from, for a window that shows it
    QString Fuente() const;          // the SQL text (a table name is expanded)
    QVariantList Valores() const;    // the values bound to its "?"

    struct Impl;
    std::unique_ptr<Impl> d;
};

// One column name and value of AgregaRegistros / EditaRegistros (up to 27 pairs).
struct ParCampo {
    QString campo;
    QVariant valor;  // an invalid QVariant is the unset value
};

class CDatos {
  public:
    CDatos();
    ~CDatos();
    CDatos(const CDatos&) = delete;
    CDatos& operator=(const CDatos&) = delete;

    void AbrirBase(const QString& nombreBase);
    // `valores` are bound to the "?" of the query in order; values never go into the text.
    // Only a plain "SELECT ... FROM table [WHERE ...] [ORDER BY ...]" over a table with an Id
    // column can be written back to (placeholders in its WHERE clause only).
    void AbreRegistro(const QString& ConsultaSQL, const QVariantList& valores = {});
    bool Existe_Registro();
    qint32 Cant_Registros();
    void AgregaRegistros(const QList<ParCampo>& pares);
    void EditaRegistros(const QList<ParCampo>& pares);
    void Eliminar_Registro();
    void CierraRegistro();
    void CerrarBase();  // lets go of the connection; it stays open for the thread's other users
    // baseOri: an SQLite file path or a connection string naming one. Failures are shown through
    // `interaccion` (when given) with the fixed compaction texts, and always logged.
    void CompactaryReparar(const QString& baseOri, Interaccion* interaccion = nullptr);

    bool BaseAbierta() const;
    QString UltimoError() const;  // why the last silent open failed; empty after a success
    // The Qt SQL connection name: the thread's shared connection, empty while not open.
    QString NombreConexion() const;

    RegistroDatos Registro;

    struct Impl;
    std::unique_ptr<Impl> d;
};
