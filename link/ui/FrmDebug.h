#pragma once
// The register console: reads any run of registers and writes one register by hand, showing the
// data as text or byte codes beside a hex column. A service window reached from the About box.

#include <QPointer>
#include <QWidget>

#include "link/Consola.h"

class Enlace;
class Interaccion;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class Trabajo;

class frmDebug : public QWidget {
    Q_OBJECT
  public:
    // `enlace` and `interaccion` are for the tests; by default the program's link.
    explicit frmDebug(QWidget* padre = nullptr, Enlace* enlace = nullptr,
                      Interaccion* interaccion = nullptr);
    ~frmDebug() override;

    // A request is running (the commands are disabled meanwhile).
    bool Ocupada() const;
    // Blocks until the running request has ended and its result is shown (tests).
    void EsperarPeticion();

    void Cmd_Dir_Click(int indice);
    void CmdLeer_Click();
    void CmdEscribir_Click();

  protected:
    void closeEvent(QCloseEvent* evento) override;
    void changeEvent(QEvent* evento) override;

  private:
    // Every caption and tool tip of the window, from the language file in use.
    void PonerTextos();
    void Iniciar();
    void Terminar();
    void MostrarDato();

    QLabel* Lbl_Direccion;
    QLineEdit* Txt_Direccion;
    QLabel* Lbl_Longitud;
    QLineEdit* Txt_Longitud;
    QLabel* Lbl_Area;
    QPushButton* CmdLeer;
    QPlainTextEdit* Txt_RxD;
    QLabel* Lbl_Hex;
    QPlainTextEdit* Txt_Hex;
    QGroupBox* Frm_rx;
    QRadioButton* Opt_rx[2];
    QLabel* Lbl_L;
    QLineEdit* Txt_L;
    QLabel* Lbl_H;
    QLineEdit* Txt_H;
    QPushButton* CmdEscribir;
    QPushButton* Cmd_Dir[kAreasConsola];

    Enlace* enlace_;
    Interaccion* interaccion_;
    QPointer<Trabajo> trabajo_;
    QByteArray ultimoDato_;
    int ultimaDireccion_ = 0;
    bool hayDato_ = false;
};
