#pragma once
// The indicator setup viewer: the copy of the indicator's setup that the connect test keeps in
// section "Setup" of bascora.ini, shown menu by menu and printed on one page.

#include <QWidget>
#include <memory>

#include "base/Interaccion.h"

class QCloseEvent;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

class frmSetup : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kMenus = 10;
    static constexpr int kFilas = 8;

    // Questions and messages go to `interaccion` when given (tests script it), else to message
    // boxes.
    explicit frmSetup(Interaccion* interaccion = nullptr, QWidget* parent = nullptr);
    ~frmSetup() override;

    // Selects menu k (0-9) and fills the rows from the settings, as a click on Opt_Menu(k) does.
    void Opt_Menu_Click(int k);
    // The print command: asks, then prints every menu on one page.
    void cmd_Impri_Click();

  Q_SIGNALS:
    void cerrada();

  protected:
    void closeEvent(QCloseEvent* evento) override;
    void changeEvent(QEvent* evento) override;

  private:
    // Every caption of the window, from the language file in use.
    void PonerTextos();
    void ReservarAnchos();

    QGroupBox* Frm_Menu = nullptr;
    QGroupBox* Frm_Param = nullptr;
    QRadioButton* Opt_Menu[kMenus] = {};
    QLabel* Lbl_Campo[kFilas] = {};
    QLabel* Lbl_Dato[kFilas] = {};
    QPushButton* cmd_Impri = nullptr;
    QPushButton* Cmd_Salir = nullptr;
    std::unique_ptr<Interaccion> interaccionPropia_;
    Interaccion* interaccion_;
    bool imprimiendo_ = false;
};
