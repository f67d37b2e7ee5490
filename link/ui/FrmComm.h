#pragma once
// The link window: a view on the link client. It shows itself, window-modal over the active window
// and without blocking anyone, when a request that is not silent starts; it follows the progress
// and the caption, and hides when the request ends. Cancel, Escape and closing the window cancel
// the request (ClienteEnlace::Cancelar), which cuts the wait in progress short.

#include <QDialog>
#include <QPointer>

#include "link/Enlace.h"

class ClienteEnlace;
class QLabel;
class QProgressBar;
class QPushButton;
struct RespuestaEnlace;
struct SaludEnlace;

class FrmComm : public QDialog {
    Q_OBJECT
  public:
    // A view on `cliente` (the program makes one, attached to its client: EnlacePrograma.h).
    explicit FrmComm(ClienteEnlace& cliente, QWidget* duenio = nullptr);

    bool enCurso() const { return enCurso_; }

  protected:
    void reject() override;  // Escape: cancels while a request runs
    void closeEvent(QCloseEvent* e) override;
    void changeEvent(QEvent* e) override;

  private:
    void Construir();
    // The window's captions from the language file in use; the progress caption of a running
    // request is kept.
    void PonerTextos();
    static QString LeyendaComando();
    void Iniciar(const QString& leyenda, bool silenciosa);
    void Progresar(int valor);
    void Terminar(const RespuestaEnlace& respuesta);
    ClienteEnlace& Cliente() const;
    void MostrarReintentos();
    static quint64 IntentosFallidos(const SaludEnlace& s);

    ClienteEnlace* cliente_;
    QPointer<QWidget> duenio_;  // the owner it goes back to between requests
    QLabel* Label1 = nullptr;
    QProgressBar* ProgBar = nullptr;
    QPushButton* cmdCancel = nullptr;
    QLabel* LblReintentos = nullptr;
    QString leyenda_;  // the caption the running request gave, empty for a command
    quint64 fallosAlIniciar_ = 0;
    bool enCurso_ = false;  // a request this view shows is running
};
