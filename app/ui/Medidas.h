#pragma once
// Sizes taken from the font, so that windows fit their texts at any font size and scale.

#include <QFontMetrics>
#include <QString>
#include <QWidget>

// Room for n characters of the box's font, plus its frame and margins.
inline int AnchoCaracteres(const QWidget* w, int n) {
    const QFontMetrics fm = w->fontMetrics();
    return fm.horizontalAdvance(QString(n, u'X')) + 2 * fm.averageCharWidth();
}
