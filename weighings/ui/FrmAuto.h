#pragma once
// "Descarga automática de la auditoria": the unattended collector. It shows the clock, the
// scheduled time and the connection state, and writes every event of the scheduled download
// (BajadaAuto) into its report box. A double click on the state downloads at once. The download
// runs on a thread of its own, so the clock keeps ticking and the window keeps drawing meanwhile.

#include <QWidget>
#include <functional>
#include <memory>

class BajadaAuto;
class Enlace;
class Interaccion;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QThread;
class QTimer;

class frmAuto : public QWidget {
    Q_OBJECT
  public:
    // enlace and interaccion are for the tests; by default requests go through the program's link
    // and the close question is a box over this window.
    explicit frmAuto(QWidget* padre = nullptr, Enlace* enlace = nullptr,
                     Interaccion* interaccion = nullptr);
    ~frmAuto() override;

    // The download itself (tests set its clock and connection test before showing the window;
    // once shown it lives on its own thread).
    BajadaAuto* nucleo() const { return bajada_; }
    // Runs f on the download's thread and waits for it (tests, closing).
    void EnNucleo(const std::function<void()>& f);

  Q_SIGNALS:
    void cerrada();  // the main window shows itself again

  protected:
    void showEvent(QShowEvent* evento) override;
    void closeEvent(QCloseEvent* evento) override;
    bool eventFilter(QObject* objeto, QEvent* evento) override;
    void changeEvent(QEvent* evento) override;

  private:
    // Every caption and tool tip of the window, from the language file in use; the connection
    // state again from the state it shows.
    void PonerTextos();
    void MostrarEstado(const QString& texto);
    void Iniciar();
    void MarcarEstado(bool negrita);
    void MostrarHora();

    QGroupBox* FraHoraActual;
    QLabel* LblHoraActual;
    QGroupBox* FraHoraComunicacion;
    QLabel* LblHoraComunicacion;
    QGroupBox* Frame1;
    QLabel* LblEstado;
    QPlainTextEdit* Txt_Reporte;

    QTimer* TmrReloj;  // the clock, on this thread: it ticks during a download

    std::unique_ptr<Interaccion> interaccionPropia_;
    Interaccion* interaccion_;
    BajadaAuto* bajada_;
    QThread* hilo_;
    bool iniciada_ = false;
    int estado_ = -1;  // index of the connection state shown, -1 none
};
