#pragma once
// The layout editor's sheet without widgets: where every label sits (in the sheet's units: a
// column is 120 wide, a row 200 high, rows 1-20 above 4000, the tray below), the captions, the
// caption flags, the modified flag, and the rules that turn a drop into a position and the sheet
// into the 25 rows of a layout table.

#include <QPoint>
#include <QString>
#include <array>
#include <optional>

#include "tickets/Ticket.h"

class EditorTicket {
  public:
    static constexpr int kAnchoColumna = 120;
    static constexpr int kAltoFila = 200;
    static constexpr int kColumnas = 80;
    static constexpr int kFilasHoja = 20;
    static constexpr int kLimiteHoja = kFilasHoja * kAltoFila;  // 4000: below it is the tray
    static constexpr int kArribaBandeja = 4100;
    static constexpr int kFilasBandeja = 10;
    static constexpr int kEtiquetas = CampoTicket::Filas;  // 20 fields, then the 5 lines

    static bool EsLinea(int etiqueta) { return etiqueta >= CampoTicket::PrimeraLinea; }

    // abrir_ticket: every label parked, then the enabled ones placed at their row and column.
    // Clears the modified flag.
    void Abrir(const DisenoTicket& diseno);
    // guardar_ticket: the rows the sheet stands for.
    DisenoTicket Diseno() const;

    // The drop rule at (x, y) in sheet units. On the sheet the label snaps to a character cell
    // (a line to column 0) and the result is the column and row to show; below it, the label is
    // parked at its tray spot and nothing is shown. Sets the modified flag.
    struct Posicion {
        QString columna;
        QString fila;
    };
    std::optional<Posicion> Soltar(int etiqueta, int x, int y);
    // Arrow keys: one column or row further, within the sheet. False when it did not move.
    bool Mover(int etiqueta, int columnas, int filas);
    // Centrar: the label's shown text centred on the 80 columns (not snapped).
    void Centrar(int etiqueta);

    // Editar: the first 11 characters of the answer, or 79 for the titles; an empty answer
    // changes nothing.
    void EditarCaption(int campo, const QString& texto);
    void FijarCEnable(int campo, bool valor) { cEnable_[campo] = valor; }
    QString Caption(int campo) const { return caption_[campo]; }
    bool CEnable(int campo) const { return cEnable_[campo]; }

    // actualizar: the text a label shows (caption and placeholder, or a dashed rule).
    QString Texto(int etiqueta) const;
    QPoint Lugar(int etiqueta) const { return lugar_[etiqueta]; }  // left, top
    bool EnHoja(int etiqueta) const { return lugar_[etiqueta].y() < kLimiteHoja; }
    static QPoint LugarBandeja(int etiqueta);

    // Layout 5 (label printers): a sheet of 40 columns.
    void FijarColumnasHoja(int columnas) { columnasHoja_ = columnas; }
    int ColumnasHoja() const { return columnasHoja_; }

    bool modificado() const { return modificado_; }
    void Marcar() { modificado_ = true; }
    void Limpiar() { modificado_ = false; }

  private:
    void Estacionar(int etiqueta) { lugar_[etiqueta] = LugarBandeja(etiqueta); }

    std::array<QPoint, kEtiquetas> lugar_{};
    std::array<QString, kEtiquetas + 1> caption_{};
    std::array<bool, kEtiquetas + 1> cEnable_{};
    int columnasHoja_ = kColumnas;
    bool modificado_ = false;
};
