#pragma once
// "Descarga automática de la auditoria": the unattended collector. It shows the clock, the
// scheduled time and the connection state, and writes every event of the scheduled download
// (BajadaAuto) into its report box. A double click on the state downloads at once.

#include <QWidget>
#include <memory>

class BajadaAuto;
class Enlace;
class Interaccion;
class QGroupBox;
class QLabel;
class QPlainTextEdit;

class frmAuto : public QWidget {
    Q_OBJECT
  public:
    // enlace and interaccion are for the tests; by default requests go through the link window
    // and the close question is a box over this window.
    explicit frmAuto(QWidget* padre = nullptr, Enlace* enlace = nullptr,
                     Interaccion* interaccion = nullptr);
    ~frmAuto() override;

    // The download itself (tests set its clock and connection test before showing the window).
    BajadaAuto* nucleo() const { return bajada_; }

  Q_SIGNALS:
    void cerrada();  // the main window shows itself again

  protected:
    void showEvent(QShowEvent* evento) override;
    void closeEvent(QCloseEvent* evento) override;
    bool eventFilter(QObject* objeto, QEvent* evento) override;

  private:
    void Iniciar();
    void MarcarEstado(bool negrita);

    QGroupBox* FraHoraActual;
    QLabel* LblHoraActual;
    QGroupBox* FraHoraComunicacion;
    QLabel* LblHoraComunicacion;
    QGroupBox* Frame1;
    QLabel* LblEstado;
    QPlainTextEdit* Txt_Reporte;

    std::unique_ptr<Enlace> enlacePropio_;
    std::unique_ptr<Interaccion> interaccionPropia_;
    Interaccion* interaccion_;
    BajadaAuto* bajada_;
    bool iniciada_ = false;
};
