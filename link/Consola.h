#pragma once
// The register console's core: the memory areas of its shortcut buttons, the display of read data
// as text or byte codes, and its read and write requests.

#include <QByteArray>
#include <QString>

class Enlace;

struct AreaConsola {
    const char* titulo;  // button caption
    const char* nombre;  // the register map's name
    int direccion;
    int longitud;  // registers
};

inline constexpr int kAreasConsola = 14;
extern const AreaConsola kAreaConsola[kAreasConsola];

// Where `direccion` lies in the register map: "DirMembrete" at an area's start, "DirMembrete+12"
// inside one of the console's areas, the name of a single register (DirEstado...), or "".
QString NombreEnMapa(int direccion);

enum class ModoVista { Ascii = 0, Dec = 1 };

// ASCII: the bytes as Windows-1252 text, every NUL replaced by CR LF. DEC: each byte's code in
// decimal followed by "-".
QString NulltoCR(const QByteArray& Dato, ModoVista modo);

// One line per 8 registers: the first register's number, then the bytes in hex.
QString VistaHex(const QByteArray& dato, int direccion);

// Reads `longitud` registers from `direccion` (decimal texts as typed). A length of 0 sends
// nothing and succeeds with no data; text that is not a number fails without sending.
bool LeerConsola(Enlace& enlace, const QString& direccion, const QString& longitud,
                 QByteArray* dato);

// Writes the value lo + 256 x hi to register `direccion`. Bytes outside 0..255 or text that is
// not a number fail without sending.
bool EscribirConsola(Enlace& enlace, const QString& direccion, const QString& lo,
                     const QString& hi);
