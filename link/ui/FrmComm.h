#pragma once
// The link window: a small modal progress window that owns the line for one request. The caller
// fills the request fields (inherited from PeticionEnlace), calls Mostrar (or Solicitar with a
// request of its own), and reads Exito and Dato afterwards. The frames run on a worker thread
// that makes its own serial port or socket, so the window repaints and Cancel answers at any time;
// Cancel is honoured between frames.

#include <QDialog>
#include <atomic>

#include "link/Enlace.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QThread;

class FrmComm : public QDialog, public Enlace, public PeticionEnlace {
    Q_OBJECT
  public:
    explicit FrmComm(QWidget* duenio);
    ~FrmComm() override;

    // Shows the window modally over its owner, carries out the request of the public fields and
    // returns when it has finished, failed or been cancelled.
    void Mostrar();
    // The same with the caller's request: its fields are copied in and the results copied back.
    void Solicitar(PeticionEnlace& peticion) override;

    // Answer and connection waits in ms instead of the settings' (tests); -1 keeps the settings'.
    void fijarEsperas(int esperaMs, int esperaConexionMs = -1) {
        esperaMs_ = esperaMs;
        esperaConexionMs_ = esperaConexionMs;
    }

  protected:
    void reject() override;  // Escape and the close button cancel; they never leave a frame open
    void closeEvent(QCloseEvent* e) override;

  private:
    void Iniciar();
    void Terminar(const PeticionEnlace& resultado);

    QLabel* Label1;
    QProgressBar* ProgBar;
    QPushButton* cmdCancel;
    QThread* hilo_ = nullptr;
    std::atomic<bool> cancelado_{false};
    bool enCurso_ = false;
    int esperaMs_ = -1;
    int esperaConexionMs_ = -1;
};
