#pragma once
// "Pesadas en el Equipo": the weighings stored in the indicator, by hand. Recuperar runs the
// download, Desbloquear releases the indicator's download lock, Eliminar deletes the stored
// weighings. When the indicator is busy the window can wait for it, polling its status every
// second, and then downloads. Every request runs as a job off the interface thread; meanwhile the
// commands are disabled and the window does not close.

#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>

#include "app/ui/Trabajo.h"
#include "weighings/Decodificacion.h"

class Enlace;
class Interaccion;
class QLabel;
class QPushButton;
class QStackedWidget;
class QTimer;

class frmPesadas : public QWidget {
    Q_OBJECT
  public:
    // enlace and interaccion are for the tests; by default requests go through the program's link
    // and messages are boxes over this window.
    explicit frmPesadas(QWidget* padre = nullptr, Enlace* enlace = nullptr,
                        Interaccion* interaccion = nullptr);
    ~frmPesadas() override;

    bool esperando() const;  // waiting for a busy indicator
    bool ocupada() const;    // a job of this window is running

  Q_SIGNALS:
    void cerrada();  // the main window shows itself again

  protected:
    void closeEvent(QCloseEvent* evento) override;
    void changeEvent(QEvent* evento) override;

  private:
    // Every caption and tool tip of the window, from the language file in use.
    void PonerTextos();
    void ReservarEspera();
    void CmdLeer_Click();
    void CmdDesbloquear_Click();
    void CmdEliminar_Click();
    void TmrBajar_Timer();
    void Descargar();
    void EntrarEspera();
    void SalirEspera();
    // Runs `procedimiento` as this window's job; `alTerminar` afterwards, on this thread.
    void Ejecutar(std::function<void(Interaccion&)> procedimiento,
                  std::function<void()> alTerminar = {});

    QPushButton* CmdLeer;
    QPushButton* CmdDesbloquear;
    QPushButton* CmdEliminar;
    QLabel* LblBajar;
    QLabel* LblCnt;
    QLabel* LblError;
    QTimer* TmrBajar;
    QStackedWidget* estados_;
    QWidget* paginaEspera_;

    std::unique_ptr<Interaccion> interaccionPropia_;
    Enlace* enlace_;
    Interaccion* interaccion_;
    Interaccion* interaccionTrabajos_;  // null: boxes over this window
    OpcionesCampos campos_;
    QPointer<Trabajo> trabajo_;
};
