#include "tickets/ui/HojaTicket.h"

#include <QEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include "tickets/ui/VistaImpresa.h"

namespace {

using E = EditorTicket;

// Room on the right of the sheet for the tray's third column ("Peso Bruto" at column 64).
constexpr int kColumnasVista = 100;

}  // namespace

HojaTicket::HojaTicket(EditorTicket& editor, QWidget* padre) : QWidget(padre), editor_(editor) {
    setObjectName(QStringLiteral("picture_hoja"));
    arrastrable_.fill(true);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(false);
    Medir();
}

void HojaTicket::Medir() {
    fuente_ = FuenteFija(font());
    const QFontMetrics fm(fuente_);
    anchoCelda_ = std::max(1, fm.horizontalAdvance(QLatin1Char('0')));
    altoCelda_ = fm.lineSpacing() + fm.height() / 8;  // a little air between the rows
}

QFont HojaTicket::FuenteRegla() const {
    QFont regla = fuente_;
    regla.setKerning(false);
    const qreal natural = QFontMetricsF(fuente_).horizontalAdvance(QLatin1Char('0'));
    regla.setLetterSpacing(QFont::AbsoluteSpacing, anchoCelda_ - natural);
    return regla;
}

void HojaTicket::changeEvent(QEvent* evento) {
    if (evento->type() == QEvent::FontChange) {
        Medir();
        updateGeometry();
        update();
    }
    QWidget::changeEvent(evento);
}

void HojaTicket::FijarArrastreCampos(bool activo) {
    for (int i = 0; i < CampoTicket::PrimeraLinea; ++i) arrastrable_[i] = activo;
}

void HojaTicket::Seleccionar(int etiqueta) {
    seleccionada_ = etiqueta;
    update();
}

QPoint HojaTicket::APixeles(QPoint u) const {
    return {u.x() * anchoCelda_ / E::kAnchoColumna, u.y() * altoCelda_ / E::kAltoFila};
}

QPoint HojaTicket::AUnidades(QPoint px) const {
    return {px.x() * E::kAnchoColumna / anchoCelda_, px.y() * E::kAltoFila / altoCelda_};
}

QRect HojaTicket::Rectangulo(int etiqueta) const {
    const int largo = std::max<int>(1, editor_.Texto(etiqueta).size());
    return {APixeles(editor_.Lugar(etiqueta)), QSize(largo * anchoCelda_, altoCelda_)};
}

int HojaTicket::EtiquetaEn(QPoint px) const {
    for (int i = CampoTicket::PrimeraLinea - 1; i >= 0; --i) {
        if (Rectangulo(i).contains(px)) return i;
    }
    for (int i = E::kEtiquetas - 1; i >= CampoTicket::PrimeraLinea; --i) {
        if (Rectangulo(i).contains(px)) return i;
    }
    return -1;
}

QSize HojaTicket::sizeHint() const {
    const int alto = E::kArribaBandeja + E::kFilasBandeja * E::kAltoFila;
    return {kColumnasVista * anchoCelda_ + 1, APixeles({0, alto}).y() + 1};
}

void HojaTicket::DibujarHoja(QPainter& p) const {
    const int ancho = editor_.ColumnasHoja() * anchoCelda_;
    const int alto = E::kFilasHoja * altoCelda_;
    p.fillRect(rect(), palette().window());
    p.fillRect(QRect(0, 0, ancho, alto), Qt::white);
    p.setPen(QColor(225, 225, 225));
    for (int fila = 1; fila < E::kFilasHoja; ++fila)
        p.drawLine(0, fila * altoCelda_, ancho, fila * altoCelda_);
    for (int col = 10; col < editor_.ColumnasHoja(); col += 10)
        p.drawLine(col * anchoCelda_, 0, col * anchoCelda_, alto);
    p.setPen(Qt::black);
    p.drawRect(QRect(0, 0, ancho, alto));
}

void HojaTicket::DibujarEtiqueta(QPainter& p, int etiqueta, QPoint px) const {
    const QString texto = editor_.Texto(etiqueta);
    const QRect r(px, QSize(std::max<int>(1, texto.size()) * anchoCelda_, altoCelda_));
    const bool linea = E::EsLinea(etiqueta);
    if (!linea)
        p.fillRect(r, arrastrable_[etiqueta] ? QColor(255, 250, 205) : QColor(235, 235, 235));
    p.setPen(linea ? Qt::darkGray : Qt::black);
    for (int k = 0; k < texto.size(); ++k)
        p.drawText(QRect(r.x() + k * anchoCelda_, r.y(), anchoCelda_, altoCelda_), Qt::AlignCenter,
                   QString(texto.at(k)));
    if (etiqueta == seleccionada_) {
        p.setPen(QPen(palette().highlight().color(), 2));
        p.drawRect(r.adjusted(0, 0, -1, -1));
    }
}

void HojaTicket::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setFont(fuente_);
    DibujarHoja(p);
    for (int i = CampoTicket::PrimeraLinea; i < E::kEtiquetas; ++i) {
        if (i != arrastrada_) DibujarEtiqueta(p, i, APixeles(editor_.Lugar(i)));
    }
    for (int i = 0; i < CampoTicket::PrimeraLinea; ++i) {
        if (i != arrastrada_) DibujarEtiqueta(p, i, APixeles(editor_.Lugar(i)));
    }
    if (arrastrada_ >= 0) {
        p.setOpacity(0.7);
        DibujarEtiqueta(p, arrastrada_, punteroActual_ - agarre_);
    }
}

QPoint HojaTicket::PuntoSoltar(QPoint puntero) const {
    return AUnidades(puntero - agarre_);
}

void HojaTicket::mousePressEvent(QMouseEvent* evento) {
    const QPoint px = evento->position().toPoint();
    const int etiqueta = EtiquetaEn(px);
    if (etiqueta < 0) return;
    Seleccionar(etiqueta);
    // Only the left button drags; the right one opens the label's menu.
    if (evento->button() == Qt::LeftButton && arrastrable_[etiqueta]) {
        arrastrada_ = etiqueta;
        agarre_ = px - Rectangulo(etiqueta).topLeft();
        punteroActual_ = px;
    }
    Q_EMIT presionada(etiqueta, evento->button(), evento->globalPosition().toPoint());
}

void HojaTicket::mouseMoveEvent(QMouseEvent* evento) {
    if (arrastrada_ < 0) return;
    punteroActual_ = evento->position().toPoint();
    update();
    Q_EMIT arrastrando(arrastrada_, PuntoSoltar(punteroActual_));
}

void HojaTicket::mouseReleaseEvent(QMouseEvent* evento) {
    if (arrastrada_ < 0 || evento->button() != Qt::LeftButton) return;
    const int etiqueta = arrastrada_;
    arrastrada_ = -1;
    const QPoint u = PuntoSoltar(evento->position().toPoint());
    const auto posicion = editor_.Soltar(etiqueta, u.x(), u.y());
    update();
    Q_EMIT soltada(etiqueta, posicion ? posicion->columna : QString(),
                   posicion ? posicion->fila : QString());
    Q_EMIT cambiada();
}

void HojaTicket::keyPressEvent(QKeyEvent* evento) {
    int dx = 0;
    int dy = 0;
    switch (evento->key()) {
        case Qt::Key_Left:
            dx = -1;
            break;
        case Qt::Key_Right:
            dx = 1;
            break;
        case Qt::Key_Up:
            dy = -1;
            break;
        case Qt::Key_Down:
            dy = 1;
            break;
        default:
            evento->ignore();  // the editor's own keys (the unlock chord)
            return;
    }
    if (seleccionada_ >= 0 && arrastrable_[seleccionada_] && editor_.Mover(seleccionada_, dx, dy)) {
        update();
        Q_EMIT cambiada();
    }
}

bool HojaTicket::event(QEvent* evento) {
    if (evento->type() == QEvent::ToolTip) {
        auto* ayuda = static_cast<QHelpEvent*>(evento);
        const int etiqueta = EtiquetaEn(ayuda->pos());
        if (etiqueta >= 0)
            QToolTip::showText(ayuda->globalPos(), NombreCampoTicket(etiqueta), this);
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(evento);
}
