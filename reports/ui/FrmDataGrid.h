#pragma once
// frmDataGrid: the rows of a record set as a table, with the data control Data1 below showing
// "Dato: position/count". The caller hands it a record set (same rows, order and position) or a
// connection string and record source; rows are fetched as they are shown. A caller that creates
// it with new and shows it modeless sets Qt::WA_DeleteOnClose, so that closing unloads it.

#include <QFrame>
#include <QVariantList>
#include <QWidget>

class QLabel;
class QPushButton;
class QTableView;
class QToolButton;
class ModeloDatos;
class RegistroDatos;

// The data control: move buttons around a caption.
class ControlDatos : public QFrame {
    Q_OBJECT
    Q_PROPERTY(QString caption READ caption WRITE setCaption)
  public:
    explicit ControlDatos(QWidget* parent = nullptr);
    QString caption() const;
    void setCaption(const QString& texto);

  Q_SIGNALS:
    void Primero();
    void Anterior();
    void Siguiente();
    void Ultimo();

  private:
    QLabel* etiqueta_;
};

class FrmDataGrid : public QWidget {
    Q_OBJECT
  public:
    explicit FrmDataGrid(QWidget* parent = nullptr);
    ~FrmDataGrid() override;

    // Record source (with the values of its "?") followed by a refresh; starts on the 1-based row
    // `posicion`. False when the source cannot be opened (the grid stays empty; callers ignore it).
    bool Abrir(const QString& cadenaConexion, const QString& fuente,
               const QVariantList& valores = {}, int posicion = 1);
    // The caller's record set: same rows, same order, same current row.
    bool Abrir(const RegistroDatos& registro);

    int Posicion() const;  // 1-based, 0 with no current row
    int Cantidad() const;
    void IrA(int posicion);

  Q_SIGNALS:
    void PosicionCambiada(int posicion);

  private:
    void ActualizarCaption();

    QTableView* grdDataGrid_;
    ControlDatos* Data1_;
    QPushButton* Command1_;
    ModeloDatos* modelo_;
};
