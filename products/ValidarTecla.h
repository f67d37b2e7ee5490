#pragma once
// The key filter of edit boxes, shared by the product and recipe windows.

#include <QString>

// Modes of ValidarTecla.
inline constexpr int kTeclaLetras = 0;   // only a-z and A-Z
inline constexpr int kTeclaDigitos = 1;  // only 0-9
inline constexpr int kTeclaDecimal = 2;  // 0-9 and one decimal separator, always "."
inline constexpr int kTeclaRetroceso = 8;

// Decides about the key KeyAscii typed into a box holding Texto. A refused key becomes 0;
// backspace always passes; in the decimal mode a "." or "," becomes "." while Texto holds
// neither and is refused once it holds one. KeyAscii is changed in place and also returned.
int ValidarTecla(int& KeyAscii, const QString& Texto, int Modo);
