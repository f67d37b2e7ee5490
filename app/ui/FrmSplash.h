#pragma once
// The window shown while the program starts: title, version and a logo, centred on the screen.

#include <QWidget>

class QLabel;

class FrmSplash : public QWidget {
    Q_OBJECT
  public:
    explicit FrmSplash(QWidget* parent = nullptr);

    // Shows the window and paints it at once, before the start-up work blocks the event loop.
    void MostrarYa();

  private:
    QLabel* lblProductName;
    QLabel* lblVersion;
    QLabel* lblCompanyProduct;
    QLabel* lblTitle;
    QLabel* imgLogo;
};
