#pragma once
// The main window: a strip of menu bar, tool bar and status bar from which every other window is
// opened. Its menu items and tool bar buttons carry their control names as objectName.

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <memory>

#include "app/ui/Trabajo.h"
#include "base/Interaccion.h"

class QAction;
class QLabel;
class QMenu;
class QStatusBar;
class QToolBar;
class FrmAyuda;
class Enlace;

class FrmPrincipal : public QMainWindow {
    Q_OBJECT
  public:
    // Questions and messages go to `interaccion` when given (tests script it), else to message
    // boxes over this window.
    explicit FrmPrincipal(Interaccion* interaccion = nullptr, QWidget* parent = nullptr);
    ~FrmPrincipal() override;

    // Shows the window and tries to reach the indicator at once, as on start-up.
    void Abrir();

    // Sets every menu caption and tool bar tool tip from the language file in use.
    void Idioma();
    // Reads the indicator model and shows or hides the commands the Mirto model lacks.
    void AplicarModelo();
    // Model as last applied: 1 = Mirto, anything else = Vela.
    int Indicador() const { return indicador_; }

    // Panel 1 of the status bar (the connection state).
    void MostrarEstado(const QString& texto);
    // The link panel: the last exchange and the share of failed frames (details as tool tip).
    void MostrarSaludEnlace();

    // Tool bar button by its 1-based index (odd indices are separators); null when out of range.
    QAction* BotonBarra(int indice) const;

    // Hides this window while `ventana` is open and shows it again when it closes. The window is
    // deleted when it closes.
    void AbrirVentanaHija(QWidget* ventana);

    Interaccion& Operador() { return *interaccion_; }
    // The indicator link of the windows (tests give their own; default the program's).
    void fijarEnlace(Enlace* enlace) { enlace_ = enlace; }
    // The connect test is running (it runs as a job: the window keeps drawing).
    bool conectando() const { return conexion_ != nullptr; }

  public Q_SLOTS:
    void conectar();
    void mnuAuto();
    void mnuFilePageSetup();
    void mnuFileExit();
    void mnubajar();
    void mnuCodigos();
    void mnuMembrete();
    void mnuRecetas();
    void mnuReporte();
    void mnuPesar();
    void mnuSetup();
    void mnuViewToolbar();
    void mnuViewStatusBar();
    void mnuIdioma();
    void mnuViewOptions();
    void mnuHelpContents();
    void mnuHelpSearch();
    void mnuHelpAbout();

  Q_SIGNALS:
    // The window was closed: the program ends.
    void Cerrada();

  protected:
    void closeEvent(QCloseEvent* evento) override;
    void changeEvent(QEvent* evento) override;  // relabels on a language change

  private:
    QAction* Accion(const QString& nombre) const { return acciones_.value(nombre); }
    QAction* NuevaAccion(const QString& nombre, void (FrmPrincipal::*slot)());
    QAction* NuevoSeparador(QMenu* menu, const QString& nombre);
    void CrearMenus();
    void CrearBarra();
    void MostrarSeparadores();
    void AjustarAlto();
    void MostrarAyuda(bool buscar);

    std::unique_ptr<Interaccion> interaccionPropia_;
    Interaccion* interaccion_;
    Enlace* enlace_ = nullptr;
    QPointer<Trabajo> conexion_;
    QHash<QString, QAction*> acciones_;
    QMenu* mnuFile_ = nullptr;
    QMenu* mnuView_ = nullptr;
    QMenu* mnuHelp_ = nullptr;
    QToolBar* tbToolBar_ = nullptr;
    QStatusBar* sbStatusBar_ = nullptr;
    QLabel* panel1_ = nullptr;
    QLabel* panelEnlace_ = nullptr;
    QPointer<FrmAyuda> ayuda_;
    int indicador_ = 2;
    QString carpetaDatos_;  // the data folder when the window was loaded
};
