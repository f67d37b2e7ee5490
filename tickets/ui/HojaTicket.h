#pragma once
// The editor's drawing of the ticket: the sheet of character cells with the tray below it, every
// field and line as a label that the mouse drags and drops cell by cell and the arrow keys move.
// Positions live in the EditorTicket it draws; this widget only maps pixels to sheet units.

#include <QFont>
#include <QWidget>
#include <array>

#include "tickets/EditorTicket.h"

class HojaTicket : public QWidget {
    Q_OBJECT
  public:
    HojaTicket(EditorTicket& editor, QWidget* padre = nullptr);

    // Dragging (mouse and arrow keys) on or off for the 20 field labels; lines always drag.
    void FijarArrastreCampos(bool activo);
    bool Arrastrable(int etiqueta) const { return arrastrable_[etiqueta]; }
    int Seleccionada() const { return seleccionada_; }
    void Seleccionar(int etiqueta);

    // Pixel geometry of the character cells, from the fixed-pitch face at the widget's size.
    int AnchoCelda() const { return anchoCelda_; }
    int AltoCelda() const { return altoCelda_; }
    QPoint APixeles(QPoint unidades) const;
    QPoint AUnidades(QPoint pixeles) const;
    QRect Rectangulo(int etiqueta) const;
    // The label under a pixel, fields above lines; -1 for none.
    int EtiquetaEn(QPoint pixeles) const;

    // The face for rulers over the sheet: every character exactly one cell wide.
    QFont FuenteRegla() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

  Q_SIGNALS:
    // Any mouse press on a label (the editor sets its modified flag and, for the right button,
    // opens the label's menu at `global`).
    void presionada(int etiqueta, Qt::MouseButton boton, QPoint global);
    // A drag ended: the position to show, empty texts when the label went to the tray.
    void soltada(int etiqueta, const QString& columna, const QString& fila);
    // The sheet changed (drop, arrow key) or a drag moved: the preview follows.
    void cambiada();
    void arrastrando(int etiqueta, QPoint unidades);

  protected:
    void changeEvent(QEvent* evento) override;
    void paintEvent(QPaintEvent* evento) override;
    void mousePressEvent(QMouseEvent* evento) override;
    void mouseMoveEvent(QMouseEvent* evento) override;
    void mouseReleaseEvent(QMouseEvent* evento) override;
    void keyPressEvent(QKeyEvent* evento) override;
    bool event(QEvent* evento) override;

  private:
    void Medir();
    void DibujarHoja(QPainter& p) const;
    void DibujarEtiqueta(QPainter& p, int etiqueta, QPoint pixeles) const;
    QPoint PuntoSoltar(QPoint puntero) const;

    EditorTicket& editor_;
    QFont fuente_;
    int anchoCelda_ = 8;
    int altoCelda_ = 16;
    std::array<bool, EditorTicket::kEtiquetas> arrastrable_;
    int seleccionada_ = -1;
    int arrastrada_ = -1;   // label being dragged, -1 when none
    QPoint agarre_;         // pointer offset inside the dragged label, pixels
    QPoint punteroActual_;  // pointer during the drag, pixels
};
