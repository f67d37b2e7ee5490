#pragma once
// Ticket layouts as the indicator takes them: the 25 rows of a layout table, the field
// descriptors, the prepared letterhead lines and the 472-byte ticket record written at
// DirMembrete, plus a text picture of the printed ticket for the windows' previews.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <array>

// One row of a layout table.
struct FilaTicket {
    bool ENABLE = false;
    int FILA = 1;
    int COLUMNA = 1;
    bool C_ENABLE = false;
    QString CAPTION;
};

// Rows of a layout table, in their fixed order.
namespace CampoTicket {
inline constexpr int Titulo1 = 0;
inline constexpr int Titulo2 = 1;
inline constexpr int NroTicket = 2;
inline constexpr int Codigo2 = 3;
inline constexpr int CCodigo2 = 4;
inline constexpr int Codigo3 = 5;
inline constexpr int CCodigo3 = 6;
inline constexpr int Codigo4 = 7;
inline constexpr int CCodigo4 = 8;
inline constexpr int Codigo1 = 9;
inline constexpr int Codigo5 = 10;  // .. Codigo8 = 13
inline constexpr int Hora = 14;
inline constexpr int Fecha = 15;
inline constexpr int PesoBruto = 16;
inline constexpr int Tara = 17;
inline constexpr int PesoNeto = 18;
inline constexpr int TaraManual = 19;
inline constexpr int PrimeraLinea = 20;  // the five separator lines 20-24
inline constexpr int Vacio = 25;         // the extra empty entry of the record
inline constexpr int Filas = 25;
}  // namespace CampoTicket

using DisenoTicket = std::array<FilaTicket, CampoTicket::Filas>;

// The field's name as the layout editor shows it ("Titulo 1", "Nro. de Ticket", ... "Linea").
QString NombreCampoTicket(int fila);

// Printer types of the letterhead window.
inline constexpr int kTiposImpresora = 4;
QString NombreImpresora(int tipo);  // fixed captions, not translated
int AnchoLinea(int tipo);           // 78 for types 0 and 1, 60 for the label printers 2 and 3
bool EsImpresoraEtiquetas(int tipo);
int ModeloPorDefecto(int tipo);  // the layout a printer type forces: 1, or 5 for label printers

// Settings of the letterhead window (section "global").
struct AjustesMembrete {
    int TipoImpre = 0;
    bool L1N = false;
    bool L2N = false;
    int ModTicket = 1;
    int BarCode = 2;
};
AjustesMembrete LeerAjustesMembrete();
// TipoImpre, L1N, L2N and ModTicket (BarCode is only read here).
void GuardarAjustesMembrete(const AjustesMembrete& ajustes);

inline constexpr int kLargoRegistroTicket = 472;
inline constexpr int kLargoTextoCampo = 11;  // characters of a field caption
inline constexpr int kLargoTitulo = 79;      // bytes of a prepared title
inline constexpr int kMaxFormulario = 1024;
inline constexpr int kMaxFormularioCorto = 75;
inline constexpr int kDirFormularioCorto = 26;

// The 4-byte descriptor of one row.
QByteArray Descriptor(const FilaTicket& fila);
// A text zone of `tamano` bytes: the first tamano - 1 bytes, one NUL, then blanks.
QByteArray ZonaTexto(const QByteArray& texto, int tamano);
// A title line with the printer commands its type asks for (Windows-1252 bytes).
QByteArray PrepararTitulo(int linea, const QString& texto, const AjustesMembrete& ajustes);

// Why a layout cannot form a ticket record, naming the row; empty when it can.
QString ErrorDiseno(const QList<FilaTicket>& filas, const QString& tabla);
// The ticket record; the layout must have passed ErrorDiseno.
QByteArray RegistroTicket(const DisenoTicket& diseno, const AjustesMembrete& ajustes);

// The free ticket forms: byte 255 + file + NUL for the ticket area, file + NUL for register 26.
QByteArray TramaFormulario(const QByteArray& archivo);
QByteArray TramaFormularioCorto(const QByteArray& archivo);

// A weighing to show on a ticket preview.
struct MuestraTicket {
    long long Numero = 1;
    QString Fecha;  // "dd/mm/yy"
    QString Hora;   // "hh:mm"
    double Bruto = 0;
    double Tara = 0;
    std::array<QString, 8> Codigo;  // Codigo1 .. Codigo8
    QString CUIT = QStringLiteral("20-12345678-9");
};
MuestraTicket MuestraPorDefecto();

// One printed line of a preview; a double-width title line is printed twice as wide.
struct LineaVista {
    QString texto;
    bool doble = false;
};
// The ticket as the indicator prints it: every enabled field at its row and column, within the
// printer's line width, captions where C_ENABLE is set.
QList<LineaVista> VistaTicket(const DisenoTicket& diseno, const AjustesMembrete& ajustes,
                              const MuestraTicket& muestra);
