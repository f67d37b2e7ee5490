#include "link/Volcado.h"

#include <QStringList>

namespace {

QChar Visible(quint8 b) {
    return b >= 0x20 && b < 0x7F ? QChar(b) : QChar(u'.');
}

}  // namespace

QString VolcadoRegistros(int direccion, const QByteArray& dato) {
    QString s;
    for (qsizetype i = 0; i + 1 < dato.size() + 1; i += 2) {
        const quint8 bajo = quint8(dato.at(i));
        const quint8 alto = i + 1 < dato.size() ? quint8(dato.at(i + 1)) : 0;
        const int valor = alto << 8 | bajo;
        s += QStringLiteral("%1  %2 %3  %4  0x%5  %6%7\n")
                 .arg(direccion + i / 2, 5)
                 .arg(bajo, 2, 16, QLatin1Char('0'))
                 .arg(alto, 2, 16, QLatin1Char('0'))
                 .arg(valor, 5)
                 .arg(valor, 4, 16, QLatin1Char('0'))
                 .arg(Visible(bajo))
                 .arg(Visible(alto))
                 .toUpper()
                 .replace(QLatin1String("0X"), QLatin1String("0x"));
    }
    return s;
}

QString VolcadoBytes(const QByteArray& bytes) {
    QString s;
    for (qsizetype i = 0; i < bytes.size(); i += 16) {
        QStringList hex, dec;
        for (qsizetype k = i; k < qMin(i + 16, bytes.size()); ++k) {
            const quint8 b = quint8(bytes.at(k));
            hex << QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0')).toUpper();
            dec << QString::number(b);
        }
        s += QStringLiteral("%1  %2  |  %3\n").arg(i, 4).arg(hex.join(u' '), dec.join(u' '));
    }
    return s;
}

bool LeerByte(const QString& texto, quint8* valor) {
    QString t = texto.trimmed();
    int base = 10;
    if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        t = t.mid(2);
        base = 16;
    } else if (t.endsWith(u'h', Qt::CaseInsensitive)) {
        t.chop(1);
        base = 16;
    }
    bool ok = false;
    const uint v = t.toUInt(&ok, base);
    if (!ok || v > 255) return false;
    *valor = quint8(v);
    return true;
}
