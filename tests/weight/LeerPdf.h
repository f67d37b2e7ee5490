#pragma once
// A printed PDF as text lines (pdftotext -layout, poppler-utils), blank lines left out.

#include <QProcess>
#include <QStringList>

inline QString SalidaDe(const QString& programa, const QStringList& argumentos) {
    QProcess p;
    p.start(programa, argumentos);
    if (!p.waitForFinished(30000)) return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

inline QStringList LineasPdf(const QString& ruta) {
    QStringList lineas;
    for (const QString& l :
         SalidaDe(QStringLiteral("pdftotext"), {"-layout", ruta, "-"}).split('\n'))
        if (!l.trimmed().isEmpty()) lineas << l.trimmed();
    return lineas;
}
