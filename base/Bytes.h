#pragma once
// Numbers in indicator memory are little-endian; missing bytes count as 0.

#include <QByteArray>
#include <QtGlobal>

inline int ByteDe(const QByteArray& d, qsizetype i) {
    return i >= 0 && i < d.size() ? static_cast<unsigned char>(d[i]) : 0;
}
inline int Numero16(const QByteArray& d, qsizetype i = 0) {
    return ByteDe(d, i) | ByteDe(d, i + 1) << 8;
}
inline quint32 Numero24(const QByteArray& d, qsizetype i = 0) {
    return quint32(ByteDe(d, i)) | quint32(ByteDe(d, i + 1)) << 8 | quint32(ByteDe(d, i + 2)) << 16;
}
inline quint32 Numero32(const QByteArray& d, qsizetype i = 0) {
    return Numero24(d, i) | quint32(ByteDe(d, i + 3)) << 24;
}
