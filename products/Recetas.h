#pragma once
// Recipes: up to 16 component set points per recipe, kept in the recipes table, loaded into the
// indicator's recipe area or read back from it; and the names and letters of the 16 set points,
// kept in section "SP" of bascora.ini and in the indicator.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

#include "data/Tablas.h"

class Enlace;
class Interaccion;

inline constexpr int kMaxComponentes = 16;
inline constexpr int kSetPoints = 16;
inline constexpr int kLargoNombreSP = 12;     // bytes of a name field in the indicator
inline constexpr int kLargoNombreLeido = 11;  // what a read-back keeps of a name field
inline constexpr int kBytesComponente = 3;

// Settings "cntComp" (default 8) and "Decimales_1" (default 1) of section "global".
struct AjustesRecetas {
    int Componentes = 8;
    int Decimales = 1;
};
AjustesRecetas LeerAjustesRecetas();

// A recipe must fill whole registers: an even count from 2 to 16 (8 and 16 in practice).
bool ComponentesValidos(int componentes);
int RegistrosReceta(int componentes);
int DireccionReceta(int receta, int componentes);
// The recipe's area lies inside the indicator's register space.
bool RecetaEnMemoria(int receta, int componentes);

// ---- Value encoding ----------------------------------------------------------------------------

enum class FalloValor { Ninguno, Vacio, NoNumero, FueraDeRango };

// Decimal text ("12.5", "-3", " 0.05 ") times 10^decimales, rounded to the nearest integer with
// ties to even, computed on the digits (no binary rounding). Fails when the text is empty, is not
// a plain decimal number, or the result lies outside -32768..32767.
FalloValor EscalarValor(const QString& texto, int decimales, qint16* valor);
// v AND 255, (v div 256) AND 255, (v div 65536) AND 255: a negative value gives its 24-bit two's
// complement.
QByteArray BytesValor(qint16 valor);
// The three bytes at `posicion`, unsigned, least significant first, divided by 10^decimales.
double DecodificarValor(const QByteArray& datos, int posicion, int decimales);

struct RecetaCodificada {
    QByteArray bytes;    // 3 bytes per component, in order; empty when refused
    int componente = 0;  // 1-based component that was refused
    FalloValor fallo = FalloValor::Ninguno;
    bool ok() const { return fallo == FalloValor::Ninguno; }
};
RecetaCodificada CodificarReceta(const QStringList& valores, int decimales);
QList<double> DecodificarReceta(const QByteArray& bytes, int componentes, int decimales);

// How a stored value is shown in a box and handed to the encoder: plain decimal text, no
// exponent, no trailing zeros; "" for a missing value.
QString TextoValor(std::optional<double> valor);
// The value with exactly `decimales` decimals (listings).
QString TextoValorFijo(std::optional<double> valor, int decimales);
// A box text as a column value: nothing for "", the number for a decimal text, else false.
bool ValorDeTexto(const QString& texto, std::optional<double>* valor);

// ---- Recipes table
// -------------------------------------------------------------------------------

struct RegistroReceta {
    int Receta = 0;
    std::array<std::optional<double>, kMaxComponentes> Ingrediente{};
};

// Column shown in box i: 0 = "Receta", k = "Ingrediente" + k.
QString ColumnaReceta(int i);
// Every recipe ordered by column `orden` (0..16), then by recipe number. *error is empty on
// success, else the engine's reason.
QList<RegistroReceta> LeerRecetas(const TablaDatos& tabla, int orden, QString* error);
// One recipe; nothing when it is not in the table (*error empty) or the table cannot be read.
std::optional<RegistroReceta> LeerReceta(const TablaDatos& tabla, int receta, QString* error);
// Writes the 16 values of the recipe's row (found by its number). False with *error when the
// engine refuses or the row is not there.
bool GuardarReceta(const TablaDatos& tabla, const RegistroReceta& registro, QString* error);

// ---- Transfers
// -----------------------------------------------------------------------------------

// The transfers' questions, progress captions and outcome, with the recipe number in them.
QString PreguntaCargarReceta(int receta);
QString PreguntaRecuperarReceta(int receta);
QString LeyendaEnvioReceta(int receta, bool actual);
QString TextoRecetaActual(int receta);

struct ResultadoCargaReceta {
    int receta = 0;
    bool confirmada = false;     // the operator said Yes
    bool enviada = false;        // the recipe area was written
    int actual = -1;             // the indicator's current recipe, -1 when unknown
    bool actualEscrita = false;  // the working set points were written too
    bool exito() const { return enviada && actual >= 0 && (actual != receta || actualEscrita); }
};
// Asks, encodes `valores` (the component texts 1..Componentes), writes the recipe's area, reads
// the current recipe number and, when it is this recipe, writes the working set points too.
// Nothing is sent when a value cannot be encoded or the settings do not allow a recipe.
ResultadoCargaReceta CargarReceta(Enlace& enlace, Interaccion& interaccion, int receta,
                                  const QStringList& valores, const AjustesRecetas& ajustes);

struct ResultadoRecuperacionReceta {
    bool confirmada = false;
    bool exito = false;     // read and stored in the table
    QList<double> valores;  // components 1..Componentes read
};
// Asks, reads the recipe's area and, only when the read succeeded, stores the values in the
// recipe's row (components above Componentes are left alone).
ResultadoRecuperacionReceta RecuperarReceta(Enlace& enlace, Interaccion& interaccion,
                                            const TablaDatos& tabla, int receta,
                                            const AjustesRecetas& ajustes);

// Names and letters of the 16 set points.
struct ConfiguracionSP {
    QStringList nombres;  // 16
    QStringList letras;   // 16
};
// Section "SP": "SP" + n (default "Valor " + n) and "LSP" + n (default n).
ConfiguracionSP LeerConfiguracionSP();
// The indicator's byte images: 12 bytes per name (cut, padded with blanks), one per letter (a
// blank when empty).
QByteArray BytesNombresSP(const QStringList& nombres);
QByteArray BytesLetrasSP(const QStringList& letras);

struct ResultadoConfiguracionSP {
    bool confirmada = false;
    bool nombres = false;   // names sent / read
    bool letras = false;    // letters sent / read
    ConfiguracionSP leida;  // read-back: what came in (only the parts that were read)
    bool exito() const { return nombres && letras; }
};
// Asks, stores the settings, writes the letters to 12 and the names to 14276, each on its own.
ResultadoConfiguracionSP CargarConfiguracionSP(Enlace& enlace, Interaccion& interaccion,
                                               const ConfiguracionSP& configuracion);
// Asks, reads the names (11 characters each, not trimmed) and then the letters, and stores what
// was read in the settings.
ResultadoConfiguracionSP RecuperarConfiguracionSP(Enlace& enlace, Interaccion& interaccion);
