#include "tickets/ui/VistaImpresa.h"

#include <QFontDatabase>
#include <QPainter>

namespace {
constexpr int kMargen = 6;
constexpr int kLineasMinimas = 20;
}  // namespace

VistaImpresa::VistaImpresa(QWidget* padre)
    : QWidget(padre), fuente_(QFontDatabase::systemFont(QFontDatabase::FixedFont)) {
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

QSize VistaImpresa::sizeHint() const {
    const QFontMetrics fm(fuente_);
    const int lineas = std::max<int>(kLineasMinimas, lineas_.size());
    return {fm.horizontalAdvance(QString(ancho_, u'0')) + 2 * kMargen,
            lineas * fm.height() + 2 * kMargen};
}

void VistaImpresa::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QFontMetrics fm(fuente_);
    p.fillRect(rect(), palette().window());
    const QRect papel(0, 0, fm.horizontalAdvance(QString(ancho_, u'0')) + 2 * kMargen, height());
    p.fillRect(papel, Qt::white);
    p.setPen(Qt::lightGray);
    p.drawRect(papel.adjusted(0, 0, -1, -1));
    p.setFont(fuente_);
    p.setPen(Qt::black);
    p.setClipRect(papel.adjusted(kMargen, 0, -kMargen, 0));
    for (int i = 0; i < lineas_.size(); ++i) {
        const LineaVista& l = lineas_.at(i);
        p.save();
        p.translate(kMargen, kMargen + i * fm.height() + fm.ascent());
        if (l.doble) p.scale(2, 1);
        p.drawText(0, 0, l.texto);
        p.restore();
    }
}
