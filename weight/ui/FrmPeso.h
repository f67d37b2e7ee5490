#pragma once
// The live weight window: gross, tare and net of scale 1 every 500 ms, with the status lamp. Its
// readings are silent requests on the program's link client (LectorPeso). From the first failed
// reading until a good one the values are greyed and "sin datos" is shown.

#include <QColor>
#include <QWidget>
#include <memory>

#include "base/Interaccion.h"

class QCloseEvent;
class QGroupBox;
class QLabel;
class QShowEvent;
class QTimer;
class ClienteEnlace;
class LectorPeso;
struct LecturaPeso;

// The round status lamp; `color` is its fill.
class Lampara : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QColor color READ color WRITE setColor)
  public:
    explicit Lampara(QWidget* parent = nullptr);
    QColor color() const { return color_; }
    void setColor(const QColor& color);
    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* evento) override;

  private:
    QColor color_ = Qt::gray;
};

class frmPeso : public QWidget {
    Q_OBJECT
  public:
    // Messages go to `interaccion` when given (tests script it), else to message boxes. Readings
    // go to `cliente` when given, else to the program's link client.
    explicit frmPeso(Interaccion* interaccion = nullptr, QWidget* parent = nullptr,
                     ClienteEnlace* cliente = nullptr);
    ~frmPeso() override;

  Q_SIGNALS:
    // The window was closed and its connection with it: the main window shows itself again.
    void cerrada();

  protected:
    void showEvent(QShowEvent* evento) override;
    void closeEvent(QCloseEvent* evento) override;
    void changeEvent(QEvent* evento) override;

  private:
    // Every caption of the window, from the language file in use.
    void PonerTextos();
    void Cargar();
    void Timer1_Timer();
    void MostrarLectura(const LecturaPeso& lectura);
    void FalloLectura();
    void MostrarSinDatos(bool sinDatos);
    void MostrarFilasTara(bool visibles);

    std::unique_ptr<Interaccion> interaccionPropia_;
    Interaccion* interaccion_;
    ClienteEnlace* cliente_;
    std::unique_ptr<LectorPeso> lector_;
    QTimer* Timer1 = nullptr;
    QGroupBox* FrmBalanza = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* LblBruto = nullptr;
    QLabel* LblTara = nullptr;
    QLabel* LblNeto = nullptr;
    QLabel* LblSinDatos = nullptr;
    Lampara* Shape_led = nullptr;
    int balanza_ = 1;
    bool cerrada_ = false;
    bool avisando_ = false;
};
