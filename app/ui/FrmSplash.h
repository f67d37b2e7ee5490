#pragma once
// The window shown while the program starts: title, version and a logo, centred on the screen, in
// the language in use.

#include <QWidget>

class QLabel;

class FrmSplash : public QWidget {
    Q_OBJECT
  public:
    explicit FrmSplash(QWidget* parent = nullptr);

    // Shows the window and paints it at once, before the start-up work blocks the event loop.
    void MostrarYa();

  protected:
    void changeEvent(QEvent* evento) override;

  private:
    void PonerTextos();

    QLabel* lblProductName;
    QLabel* lblVersion;
    QLabel* lblCompanyProduct;
    QLabel* lblTitle;
    QLabel* imgLogo;
};
