#include "tickets/ui/VistaImpresa.h"

#include <QEvent>
#include <QFontDatabase>
#include <QPainter>

namespace {
constexpr int kLineasMinimas = 20;

// The widest paper of all printer types: changing the printer never resizes the window.
int AnchoMayor() {
    int mayor = 0;
    for (int tipo = 0; tipo < kTiposImpresora; ++tipo) mayor = std::max(mayor, AnchoLinea(tipo));
    return mayor;
}

int Margen(const QFontMetrics& fm) {
    return fm.averageCharWidth();
}
}  // namespace

QFont FuenteFija(const QFont& base) {
    QFont fija = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    if (base.pointSizeF() > 0)
        fija.setPointSizeF(base.pointSizeF());
    else if (base.pixelSize() > 0)
        fija.setPixelSize(base.pixelSize());
    return fija;
}

VistaImpresa::VistaImpresa(QWidget* padre) : QWidget(padre), fuente_(FuenteFija(font())) {
    setObjectName(QStringLiteral("picVista"));
}

void VistaImpresa::Mostrar(const QList<LineaVista>& lineas, int ancho) {
    lineas_ = lineas;
    if (ancho != ancho_) {
        ancho_ = ancho;
        updateGeometry();
    }
    update();
}

void VistaImpresa::changeEvent(QEvent* evento) {
    if (evento->type() == QEvent::FontChange) {
        fuente_ = FuenteFija(font());
        updateGeometry();
        update();
    }
    QWidget::changeEvent(evento);
}

QSize VistaImpresa::sizeHint() const {
    const QFontMetrics fm(fuente_);
    const int lineas = std::max<int>(kLineasMinimas, lineas_.size());
    const int columnas = std::max(ancho_, AnchoMayor());
    return {fm.horizontalAdvance(QString(columnas, u'0')) + 2 * Margen(fm),
            lineas * fm.height() + 2 * Margen(fm)};
}

void VistaImpresa::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QFontMetrics fm(fuente_);
    const int margen = Margen(fm);
    p.fillRect(rect(), palette().window());
    const QRect papel(0, 0, fm.horizontalAdvance(QString(ancho_, u'0')) + 2 * margen, height());
    p.fillRect(papel, Qt::white);
    p.setPen(Qt::lightGray);
    p.drawRect(papel.adjusted(0, 0, -1, -1));
    p.setFont(fuente_);
    p.setPen(Qt::black);
    p.setClipRect(papel.adjusted(margen, 0, -margen, 0));
    for (int i = 0; i < lineas_.size(); ++i) {
        const LineaVista& l = lineas_.at(i);
        p.save();
        p.translate(margen, margen + i * fm.height() + fm.ascent());
        if (l.doble) p.scale(2, 1);
        p.drawText(0, 0, l.texto);
        p.restore();
    }
}
