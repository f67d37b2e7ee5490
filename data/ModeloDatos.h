#pragma once
// A read-only table model over any SELECT for grids: the thread's connection for the string, the
// row count from COUNT(*), and rows read only as the view asks for them, so a table of millions
// of rows opens at once. ModeloTabla is the editable one.

#include <QAbstractTableModel>
#include <QString>
#include <QVariantList>
#include <memory>

class CursorDatos;

class ModeloDatos : public QAbstractTableModel {
    Q_OBJECT
  public:
    explicit ModeloDatos(QObject* parent = nullptr);
    ~ModeloDatos() override;

    // Points the model at a record source and refreshes it. False (and the model empty) when the
    // database or the query cannot be opened; Error() says why.
    bool Abrir(const QString& cadenaConexion, const QString& sql, const QVariantList& valores = {});
    void Cerrar();
    bool Abierto() const;
    QString Error() const { return error_; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

  private:
    std::unique_ptr<CursorDatos> cursor_;
    QString error_;
    int filas_ = 0;
};
