#include "tickets/EditorTicket.h"

#include <algorithm>
#include <cmath>

namespace {

using E = EditorTicket;

// Tray spots of the 20 fields: tray row, tray column. The lines share row 9, column 0.
constexpr int kBandeja[CampoTicket::PrimeraLinea][2] = {
    {6, 0}, {7, 0}, {0, 37}, {1, 0}, {1, 37}, {2, 0},  {2, 37}, {3, 0},  {3, 37}, {4, 37},
    {0, 0}, {4, 0}, {5, 37}, {5, 0}, {4, 64}, {3, 64}, {0, 64}, {1, 64}, {2, 64}, {8, 0},
};

QString Marcador(int campo) {
    using namespace CampoTicket;
    if (campo == NroTicket) return QStringLiteral("XXXXXXXXXX");
    if (campo >= Codigo2 && campo <= Codigo5 + 3) return QString(15, u'X');
    if (campo == Hora || campo == Fecha) return QString(8, u'X');
    if (campo >= PesoBruto && campo <= PesoNeto) return QStringLiteral("XXXXXXXXXX kg");
    return QString();
}

int Acotar(int v, int minimo, int maximo) {
    return std::clamp(v, minimo, maximo);
}

}  // namespace

QPoint EditorTicket::LugarBandeja(int etiqueta) {
    const int fila = EsLinea(etiqueta) ? 9 : kBandeja[etiqueta][0];
    const int columna = EsLinea(etiqueta) ? 0 : kBandeja[etiqueta][1];
    return {columna * kAnchoColumna, kArribaBandeja + fila * kAltoFila};
}

void EditorTicket::Abrir(const DisenoTicket& diseno) {
    for (int i = 0; i < kEtiquetas; ++i) Estacionar(i);
    for (int i = 0; i < kEtiquetas; ++i) {
        const FilaTicket& f = diseno[i];
        caption_[i] = f.CAPTION;
        cEnable_[i] = f.C_ENABLE;
        // A row beyond the sheet would be placed out of reach: it waits in the tray instead,
        // which stores it as not printed all the same.
        if (!f.ENABLE || f.FILA > kFilasHoja) continue;
        const int arriba = (std::max(f.FILA, 1) - 1) * kAltoFila;
        const int izquierda = EsLinea(i) ? 0 : (std::max(f.COLUMNA, 1) - 1) * kAnchoColumna;
        lugar_[i] = {izquierda, arriba};
    }
    caption_[kEtiquetas].clear();
    cEnable_[kEtiquetas] = false;
    modificado_ = false;
}

DisenoTicket EditorTicket::Diseno() const {
    DisenoTicket d;
    for (int i = 0; i < kEtiquetas; ++i) {
        FilaTicket& f = d[i];
        f.ENABLE = EnHoja(i);
        f.FILA = lugar_[i].y() / kAltoFila + 1;
        if (EsLinea(i)) {
            f.COLUMNA = 1;
            f.CAPTION = QStringLiteral("-");
            f.C_ENABLE = true;
        } else {
            f.COLUMNA = static_cast<int>(std::lround(lugar_[i].x() / double(kAnchoColumna) + 1));
            f.CAPTION = caption_[i];
            f.C_ENABLE = cEnable_[i];
        }
    }
    return d;
}

std::optional<EditorTicket::Posicion> EditorTicket::Soltar(int etiqueta, int x, int y) {
    modificado_ = true;
    if (y >= kLimiteHoja) {
        Estacionar(etiqueta);
        return std::nullopt;
    }
    const int fila = std::max(y, 0) / kAltoFila;
    if (EsLinea(etiqueta)) {
        lugar_[etiqueta] = {0, fila * kAltoFila};
        return Posicion{QStringLiteral("0"), QString::number(fila + 1)};
    }
    // Never left of the sheet nor past its last column.
    const int columna = Acotar(x, 0, (kColumnas - 1) * kAnchoColumna) / kAnchoColumna;
    lugar_[etiqueta] = {columna * kAnchoColumna, fila * kAltoFila};
    return Posicion{QString::number(columna + 1), QString::number(fila + 1)};
}

bool EditorTicket::Mover(int etiqueta, int columnas, int filas) {
    if (!EnHoja(etiqueta)) return false;
    const QPoint antes = lugar_[etiqueta];
    const int columna =
        EsLinea(etiqueta) ? 0 : Acotar(antes.x() / kAnchoColumna + columnas, 0, kColumnas - 1);
    const int fila = Acotar(antes.y() / kAltoFila + filas, 0, kFilasHoja - 1);
    lugar_[etiqueta] = {columna * kAnchoColumna, fila * kAltoFila};
    if (lugar_[etiqueta] == antes) return false;
    modificado_ = true;
    return true;
}

void EditorTicket::Centrar(int etiqueta) {
    const int largo = static_cast<int>(Texto(etiqueta).size());
    // A text wider than the sheet starts at its first column rather than left of it.
    lugar_[etiqueta].setX(std::max(0, (kColumnas - largo) * kAnchoColumna / 2));
}

void EditorTicket::EditarCaption(int campo, const QString& texto) {
    if (texto.isEmpty()) return;
    const bool titulo = campo == CampoTicket::Titulo1 || campo == CampoTicket::Titulo2;
    caption_[campo] = texto.left(titulo ? kLargoTitulo : kLargoTextoCampo);
}

QString EditorTicket::Texto(int etiqueta) const {
    if (EsLinea(etiqueta)) return QString(columnasHoja_, u'-');
    const QString marcador = Marcador(etiqueta);
    if (marcador.isEmpty()) return caption_[etiqueta];
    return cEnable_[etiqueta] ? caption_[etiqueta] + marcador : marcador;
}
