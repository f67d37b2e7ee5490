#pragma once
// The password prompt of the options dialog. Aceptado tells the main window whether the operator
// typed the password (Opciones/PASS, compared regardless of case) or cancelled.

#include <QDialog>
#include <memory>

class Interaccion;
class QLabel;
class QLineEdit;
class QPushButton;

class frmLogin1 : public QDialog {
    Q_OBJECT
  public:
    explicit frmLogin1(QWidget* padre = nullptr, Interaccion* interaccion = nullptr);
    ~frmLogin1() override;

    bool Aceptado = false;

    void reject() override;  // Cancelar: not accepted

  protected:
    void changeEvent(QEvent* evento) override;

  private:
    // Every caption of the window, from the language file in use.
    void PonerTextos();
    void cmdOK_Click();

    QLabel* lblLabels;
    QLineEdit* txtPassword;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;
    std::unique_ptr<Interaccion> interaccionPropia_;
    Interaccion* interaccion_;
};
