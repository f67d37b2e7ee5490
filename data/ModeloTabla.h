#pragma once
// An editable table model over one table of the program (PLU, PLU_SETUP, Ticket1..5, Reporte,
// Setup, Global, Recetas): optionally only the rows of a WHERE condition with bound values, in
// the order of a column list. Rows are read as the view asks for them, so a table of millions of
// rows opens at once. Rows are identified by the table's integer key column Id, so an edit never
// lands on another row. Every change (edit, new row, deletion) is committed at once, or is
// refused with the engine's text in Error() and the signal Fallo; nothing throws. A window that
// replaces a whole table runs its steps inside transaccion(): all of them or none.

#include <QAbstractTableModel>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>
#include <functional>
#include <memory>
#include <optional>

#include "data/Tablas.h"

class CursorDatos;

class ModeloTabla : public QAbstractTableModel {
    Q_OBJECT
  public:
    explicit ModeloTabla(QObject* parent = nullptr);
    ~ModeloTabla() override;

    // `filtro`: a condition ("Grupo = ? AND Nombre LIKE ?"), empty for every row, with `valores`
    // bound to its "?" in order. `orden`: column names, each optionally followed by " DESC";
    // key order when empty. False (model empty) when the table cannot be opened.
    bool Abrir(const TablaDatos& tabla, const QString& filtro = QString(),
               const QVariantList& valores = {}, const QStringList& orden = {});
    bool Refrescar();  // reads the rows again (another program may have changed them)
    void Cerrar();
    bool Abierto() const;
    QString Error() const { return error_; }
    TablaDatos Tabla() const { return tabla_; }

    int Columna(const QString& nombre) const;  // without regard to case; -1 when missing
    QString NombreColumna(int columna) const;
    QVariant Valor(int fila, const QString& columna) const;
    std::optional<qint64> Id(int fila) const;  // the row's key
    int FilaDeId(qint64 id) const;             // -1 when not among the rows shown

    // A new row with these column values (the others get their defaults). Its key, or nothing.
    std::optional<qint64> Agregar(const QVariantMap& valores);
    bool Cambiar(int fila, const QString& columna, const QVariant& valor);
    bool Borrar(int fila, int cantidad = 1);  // in one transaction when not inside transaccion()
    bool BorrarTodas();                       // every row the filter selects
    // Runs `pasos` in one transaction: committed when they return true, rolled back when they
    // return false, throw or the commit fails. The rows are read again afterwards.
    bool transaccion(const std::function<bool()>& pasos);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    bool insertRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;
    bool removeRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;

  Q_SIGNALS:
    void Fallo(const QString& error);

  private:
    bool Leer();
    // Runs one statement with bound values; its result stays in ultimaConsulta_.
    bool Ejecutar(const QString& sql, const QVariantList& valores);
    bool Fallar(const QString& error);
    bool EscribibleOFallo();
    QString NombreSql() const;
    QString ColumnaSql(const QString& nombre) const;  // quoted, as the catalog spells it
    QString CondicionFiltro() const;                  // " WHERE (...)" or empty
    void Releer();

    std::unique_ptr<CursorDatos> cursor_;
    TablaDatos tabla_;
    QString filtro_;
    QVariantList valores_;
    QStringList orden_;
    QString conexion_;  // Qt connection name
    QString error_;
    QSqlQuery ultimaConsulta_;  // the statement Ejecutar ran last, for its result
    int filas_ = 0;
    bool transaccion_ = false;
};
