#include "link/Consola.h"

#include <QStringList>

#include "base/Globales.h"
#include "link/Enlace.h"
#include "settings/Cp1252.h"

const AreaConsola kAreaConsola[kAreasConsola] = {
    {"Teclado", "DirComando", DirComando, 1},
    {"Lbl Codigos", "DirLblCodigos", DirLblCodigos, 12},
    {"PLU", "DirPLU", DirPLU, 6500},
    {"PLU Flags", "DirPLUFlags", DirPLUFlags, 4},
    {"Membrete", "DirMembrete", DirMembrete, 513},
    {"Total", "DirTotal", DirTotal, 3},
    {"Reporte", "DirAuditoria", DirAuditoria, 6500},
    {"Cnt Ok/B/A", "DirContadores", DirContadores, 5},
    {"Tot Prod", "DirTotales", DirTotales, 625},
    {"Codigos", "DirCodigos", DirCodigos, 32},
    {"SP", "DirSP", DirSP, 24},
    {"Nomb Cod", "DirNombCod", DirNombCod, 48},
    {"Nomb SP", "DirNombSP", DirNombSP, 96},
    {"Recetas", "DirRecetas", DirRecetas, 300},
};

namespace {

struct Registro {
    const char* nombre;
    int direccion;
};

// Registers of the map that are not among the console's areas.
const Registro kRegistrosSueltos[] = {
    {"DirPeso", DirPeso},     {"DirSetupSP", DirSetupSP},   {"DirBloqueo", DirBloqueo},
    {"DirEstado", DirEstado}, {"DirContador", DirContador},
};

// A whole decimal number within [minimo, maximo], blanks around it allowed.
bool Numero(const QString& texto, int minimo, int maximo, int* valor) {
    bool ok = false;
    const int n = texto.trimmed().toInt(&ok);
    if (!ok || n < minimo || n > maximo) return false;
    *valor = n;
    return true;
}

}  // namespace

QString NombreEnMapa(int direccion) {
    for (const Registro& r : kRegistrosSueltos)
        if (r.direccion == direccion) return QString::fromLatin1(r.nombre);
    for (const AreaConsola& a : kAreaConsola) {
        const int desplazamiento = direccion - a.direccion;
        if (desplazamiento < 0 || desplazamiento >= a.longitud) continue;
        const QString nombre = QString::fromLatin1(a.nombre);
        return desplazamiento ? nombre + u'+' + QString::number(desplazamiento) : nombre;
    }
    return {};
}

QString NulltoCR(const QByteArray& Dato, ModoVista modo) {
    QString texto;
    for (const char c : Dato) {
        const auto b = static_cast<unsigned char>(c);
        if (modo == ModoVista::Dec) {
            texto += QString::number(b) + u'-';
        } else if (b == 0) {
            texto += QStringLiteral("\r\n");
        } else {
            texto += CaracterAnsi(b);
        }
    }
    return texto;
}

QString VistaHex(const QByteArray& dato, int direccion) {
    constexpr int kBytesPorLinea = 16;  // 8 registers
    QStringList lineas;
    for (qsizetype i = 0; i < dato.size(); i += kBytesPorLinea) {
        const QByteArray trozo = dato.mid(i, kBytesPorLinea);
        lineas << QStringLiteral("%1: %2")
                      .arg(direccion + int(i / 2), 5)
                      .arg(QString::fromLatin1(trozo.toHex(' ').toUpper()));
    }
    return lineas.join(u'\n');
}

bool LeerConsola(Enlace& enlace, const QString& direccion, const QString& longitud,
                 QByteArray* dato) {
    dato->clear();
    int dir = 0, cantidad = 0;
    if (!Numero(direccion, 0, 65535, &dir) || !Numero(longitud, 0, 65536, &cantidad)) return false;
    if (cantidad == 0) return true;  // nothing to ask for
    return LeerRegistros(enlace, dir, cantidad, dato);
}

bool EscribirConsola(Enlace& enlace, const QString& direccion, const QString& lo,
                     const QString& hi) {
    int dir = 0, bajo = 0, alto = 0;
    if (!Numero(direccion, 0, 65535, &dir) || !Numero(lo, 0, 255, &bajo) ||
        !Numero(hi, 0, 255, &alto))
        return false;
    QByteArray valor;
    valor += char(bajo);
    valor += char(alto);
    return EscribirRegistros(enlace, dir, valor);
}
