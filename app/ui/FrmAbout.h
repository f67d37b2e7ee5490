#pragma once
// The About box: title, version, the user and organisation lines, the maker's web link, and the
// system information. Double-clicking the icon while holding the D key down opens the register
// console instead (a service tool, not on any menu).

#include <QDialog>
#include <memory>

class Enlace;
class Interaccion;
class QLabel;
class QPushButton;

class frmAbout : public QDialog {
    Q_OBJECT
  public:
    // The key that, held down during a double-click on the icon, opens the register console.
    static constexpr int kTeclaConsola = Qt::Key_D;
    // The maker's web page.
    static const char* const kSitio;

    // `enlace` and `interaccion` go to the console the hidden gesture opens (tests).
    explicit frmAbout(QWidget* padre = nullptr, Enlace* enlace = nullptr,
                      Interaccion* interaccion = nullptr);
    ~frmAbout() override;

    int ModoTecla = 0;  // the key held down, 0 for none

  protected:
    void keyPressEvent(QKeyEvent* evento) override;
    void keyReleaseEvent(QKeyEvent* evento) override;
    bool eventFilter(QObject* objeto, QEvent* evento) override;
    void changeEvent(QEvent* evento) override;

  private:
    // Every caption of the window, from the language file in use.
    void PonerTextos();
    void picIcon_DblClick();
    void cmdSysInfo_Click();

    QLabel* picIcon;
    QLabel* lblTitle;
    QLabel* lblVersion;
    QLabel* lblDescription;
    QLabel* lblUsuario;
    QLabel* lblOrganizacion;
    QLabel* lblDisclaimer;
    QLabel* Label1;
    QPushButton* cmdOK;
    QPushButton* cmdSysInfo;
    Enlace* enlace_;
    Interaccion* interaccion_;
};
