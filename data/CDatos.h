#pragma once
// CDatos: one database connection and one record set, opened from a connection string
// ("Driver=QSQLITE;Data Source=datos.db;" or "Driver=QPSQL;Host=...;...") and an SQL text.
// Opening fails silently; the record operations raise ErrorBase.

#include <QList>
#include <QString>
#include <QVariant>
#include <memory>
#include <stdexcept>

// A failure of the database engine. esClaveDuplicada tells a unique-key violation (the
// "duplicate key" case of the downloads) from every other failure, on every engine.
class ErrorBase : public std::runtime_error {
public:
    ErrorBase(const QString& descripcion, bool claveDuplicada = false);
    QString descripcion() const { return descripcion_; }
    bool esClaveDuplicada() const { return claveDuplicada_; }

private:
    QString descripcion_;
    bool claveDuplicada_;
};

// The open record set: by-name field access, end test, moves, append, update and delete.
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
    void MoveLast();
    int RecordCount() const;
    int AbsolutePosition() const;  // 1-based, 0 at the end

    QVariant Campo(const QString& nombre) const;                 // Fields(name).Value
    void AsignarCampo(const QString& nombre, const QVariant& v);  // Fields(name).Value = v
    void AddNew();
    void Update();  // stores the pending new or changed row at once
    void CancelUpdate();
    void Delete();  // deletes the current row
    void Close();

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

    void AbrirBase(const QString& nombreBase);
    void AbreRegistro(const QString& ConsultaSQL);
    bool Existe_Registro();
    qint32 Cant_Registros();
    void AgregaRegistros(const QList<ParCampo>& pares);
    void EditaRegistros(const QList<ParCampo>& pares);
    void Eliminar_Registro();
    void CierraRegistro();
    void CerrarBase();
    void CompactaryReparar(const QString& baseOri);

    RegistroDatos Registro;

    struct Impl;
    std::unique_ptr<Impl> d;
};
