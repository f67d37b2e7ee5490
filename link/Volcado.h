#pragma once
// Register data and indicator answers as text for people: decimal and hexadecimal side by side.

#include <QByteArray>
#include <QString>

// One line per register: number, its two bytes (low byte first, as the link hands them), the
// 16-bit value in decimal and hexadecimal, and the two bytes as characters.
QString VolcadoRegistros(int direccion, const QByteArray& dato);
// Sixteen bytes a line: offset, the bytes in hexadecimal, the same bytes in decimal.
QString VolcadoBytes(const QByteArray& bytes);
// A byte given as decimal ("255") or hexadecimal ("0xFF", "FFh"); false when it is not 0-255.
bool LeerByte(const QString& texto, quint8* valor);
