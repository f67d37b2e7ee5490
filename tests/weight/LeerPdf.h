#pragma once
// A printed PDF as text lines, laid out by pdftotext -layout (poppler-utils). The character pitch
// is taken from the widest rule of dashes on the page and given to pdftotext, so that a column
// in the text is the column the printout put it in; the page margin is removed.

#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

inline QString SalidaDe(const QString& programa, const QStringList& argumentos) {
    QProcess p;
    p.start(programa, argumentos);
    if (!p.waitForFinished(30000)) return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

inline QStringList LineasPdf(const QString& ruta) {
    // <word xMin="28.02" ... xMax="565.47" ...>-----...</word>
    const QString cajas =
        SalidaDe(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), ruta, QStringLiteral("-")});
    static const QRegularExpression regla(
        QStringLiteral("xMin=\"([0-9.]+)\"[^>]*xMax=\"([0-9.]+)\"[^>]*>(-{10,})</word>"));
    double paso = 0;
    int largo = 0;
    for (auto m = regla.globalMatch(cajas); m.hasNext();) {
        const auto r = m.next();
        if (r.captured(3).size() > largo) {
            largo = r.captured(3).size();
            paso = (r.captured(2).toDouble() - r.captured(1).toDouble()) / largo;
        }
    }
    QStringList argumentos{QStringLiteral("-layout")};
    if (paso > 0) argumentos << QStringLiteral("-fixed") << QString::number(paso, 'f', 4);
    argumentos << ruta << QStringLiteral("-");

    QStringList limpias;
    qsizetype margen = INT_MAX;
    for (QString l : SalidaDe(QStringLiteral("pdftotext"), argumentos).split(QLatin1Char('\n'))) {
        // Page breaks come as form feeds; trailing blanks carry no column.
        l.remove(QLatin1Char('\f'));
        while (l.endsWith(QLatin1Char(' '))) l.chop(1);
        if (l.isEmpty()) continue;
        margen = qMin(margen, l.size() - l.trimmed().size());
        limpias.append(l);
    }
    for (QString& l : limpias) l.remove(0, margen);
    return limpias;
}
