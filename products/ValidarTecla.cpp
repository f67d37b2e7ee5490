#include "products/ValidarTecla.h"

namespace {

bool EsDigito(int k) {
    return k >= '0' && k <= '9';
}

bool EsLetra(int k) {
    return (k >= 'a' && k <= 'z') || (k >= 'A' && k <= 'Z');
}

int FiltrarDecimal(int k, const QString& texto) {
    if (EsDigito(k)) return k;
    if (k != '.' && k != ',') return 0;
    const bool tieneSeparador = texto.contains(u'.') || texto.contains(u',');
    return tieneSeparador ? 0 : '.';
}

}  // namespace

int ValidarTecla(int& KeyAscii, const QString& Texto, int Modo) {
    if (KeyAscii == kTeclaRetroceso) return KeyAscii;
    switch (Modo) {
        case kTeclaLetras:
            if (!EsLetra(KeyAscii)) KeyAscii = 0;
            break;
        case kTeclaDigitos:
            if (!EsDigito(KeyAscii)) KeyAscii = 0;
            break;
        case kTeclaDecimal:
            KeyAscii = FiltrarDecimal(KeyAscii, Texto);
            break;
        default:
            KeyAscii = 0;
            break;
    }
    return KeyAscii;
}
