#pragma once
// "Pesadas en el Equipo": the weighings stored in the indicator, by hand. Recuperar runs the
// download, Desbloquear releases the indicator's download lock, Eliminar deletes the stored
// weighings. When the indicator is busy the window can wait for it, polling its status every
// second, and then downloads.

#include <QWidget>
#include <memory>

#include "weighings/Decodificacion.h"

class Enlace;
class Interaccion;
class QLabel;
class QPushButton;
class QTimer;

class frmPesadas : public QWidget {
    Q_OBJECT
  public:
    // enlace and interaccion are for the tests; by default requests go through the link window
    // and messages are boxes over this window.
    explicit frmPesadas(QWidget* padre = nullptr, Enlace* enlace = nullptr,
                        Interaccion* interaccion = nullptr);
    ~frmPesadas() override;

    bool esperando() const;  // waiting for a busy indicator

  Q_SIGNALS:
    void cerrada();  // the main window shows itself again

  protected:
    void closeEvent(QCloseEvent* evento) override;

  private:
    void CmdLeer_Click();
    void CmdDesbloquear_Click();
    void CmdEliminar_Click();
    void TmrBajar_Timer();
    void Descargar();
    void EntrarEspera();
    void SalirEspera();

    QPushButton* CmdLeer;
    QPushButton* CmdDesbloquear;
    QPushButton* CmdEliminar;
    QLabel* LblBajar;
    QLabel* LblCnt;
    QLabel* LblError;
    QTimer* TmrBajar;

    std::unique_ptr<Enlace> enlacePropio_;
    std::unique_ptr<Interaccion> interaccionPropia_;
    Enlace* enlace_;
    Interaccion* interaccion_;
    OpcionesCampos campos_;
    bool enTick_ = false;
};
