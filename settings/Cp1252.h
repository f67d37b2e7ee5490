#pragma once
// Windows-1252 text <-> bytes. The settings and language files of the Windows program are in this
// code page, and the scrambled settings use every byte value, the five bytes that Windows-1252
// leaves undefined included (0x81, 0x8D, 0x8F, 0x90, 0x9D). Those map to the C1 code points of the
// same number, as Windows does, so that every byte string survives a round trip unchanged.

#include <QByteArray>
#include <QString>

// Bytes in Windows-1252 to text; every byte gives exactly one character.
QString DesdeAnsi(const QByteArray& bytes);
// Text to Windows-1252 bytes, one byte per character; a character outside the code page gives '?'.
QByteArray AAnsi(const QString& texto);
// Code (0..255) of one character in Windows-1252, or -1 when it has none.
int CodigoAnsi(QChar c);
// Character of one Windows-1252 byte.
QChar CaracterAnsi(unsigned char b);
