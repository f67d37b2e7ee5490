#pragma once
// The ticket as the indicator prints it: a paper strip of the printer's width in a fixed-pitch
// font, double-width lines stretched to twice their width.

#include <QFont>
#include <QList>
#include <QWidget>

#include "tickets/Ticket.h"

// The system's fixed-pitch face at the size of `base`, so that ticket drawings grow with the
// program's font.
QFont FuenteFija(const QFont& base);

class VistaImpresa : public QWidget {
    Q_OBJECT
  public:
    explicit VistaImpresa(QWidget* padre = nullptr);
    void Mostrar(const QList<LineaVista>& lineas, int ancho);
    const QList<LineaVista>& Lineas() const { return lineas_; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

  protected:
    void changeEvent(QEvent* evento) override;
    void paintEvent(QPaintEvent* evento) override;

  private:
    QFont fuente_;
    QList<LineaVista> lineas_;
    int ancho_ = 78;
};
