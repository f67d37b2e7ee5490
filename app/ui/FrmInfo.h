#pragma once
// System information for support requests: program, Qt, operating system and kernel versions, the
// data folder and settings file, the database engines, the serial ports and the indicator link in
// use. Shown from the About box, with a button that copies it all.

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

// The facts, one per line, as the dialog shows and copies them.
QString InformacionSistema();

class frmInfo : public QDialog {
    Q_OBJECT
  public:
    explicit frmInfo(QWidget* padre = nullptr);

  protected:
    void changeEvent(QEvent* evento) override;

  private:
    // Every caption of the window, from the language file in use.
    void PonerTextos();
    QPlainTextEdit* txtInfo;
    QPushButton* cmdCopiar;
    QPushButton* cmdOK;
};
