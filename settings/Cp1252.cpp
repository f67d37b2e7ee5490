#include "settings/Cp1252.h"

#include <array>

namespace {

// Code points of bytes 0x80 to 0x9F; the undefined ones keep their own number.
constexpr std::array<char16_t, 32> kAltos = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

}  // namespace

QChar CaracterAnsi(unsigned char b) {
    if (b >= 0x80 && b <= 0x9F) return QChar(kAltos[b - 0x80]);
    return QChar(char16_t(b));
}

int CodigoAnsi(QChar c) {
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) return u;
    for (std::size_t i = 0; i < kAltos.size(); ++i) {
        if (kAltos[i] == u) return int(0x80 + i);
    }
    return -1;
}

QString DesdeAnsi(const QByteArray& bytes) {
    QString texto;
    texto.reserve(bytes.size());
    for (char b : bytes) texto.append(CaracterAnsi(static_cast<unsigned char>(b)));
    return texto;
}

QByteArray AAnsi(const QString& texto) {
    QByteArray bytes;
    bytes.reserve(texto.size());
    for (QChar c : texto) {
        const int codigo = CodigoAnsi(c);
        bytes.append(codigo < 0 ? '?' : char(codigo));
    }
    return bytes;
}
