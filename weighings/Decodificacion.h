#pragma once
// Decoding of the indicator's audit memory: the 26-byte weighing records, the 250 totals entries,
// and the per-field flags of the product-group configuration that steer the decoding.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVariant>
#include <array>
#include "products/OpcionesGrupo.h"

#include "products/OpcionesGrupo.h"
#include "weighings/Pesada.h"

inline constexpr int LargoRegistro = 26;        // bytes per weighing record
inline constexpr int CapacidadAuditoria = 500;  // records the audit memory holds
inline constexpr int CantidadTotales = 250;     // totals entries, one per product row
inline constexpr int LargoTotal = 5;            // bytes per totals entry

// One record of 26 bytes. texto[j - 1] set: code field j holds characters (Windows-1252, zero bytes
// shown as spaces); otherwise its first three bytes are a 24-bit number. A shorter record is read
// as if padded with zero bytes.
Pesada DecodificarPesada(const QByteArray& registro26, const std::array<bool, 9>& texto,
                         int decimales, int numero, long long lote, long long secuencia);

// Two-digit upper-case hexadecimal form of a byte: a BCD byte 0x24 gives "24", 0x05 gives "05".
QString TextoHex2(unsigned char b);

struct EntradaTotal {
    double total = 0;  // total weight, scaled like Peso
    int pesadas = 0;   // number of weighings
};

// The 250 entries of the totals block (1250 bytes; missing bytes read as zero).
QList<EntradaTotal> DecodificarTotales(const QByteArray& bytes1250, int decimales);

// One product row paired with totals entry i.
struct FilaProducto {
    int Grupo = 0;
    long long Codigo = 0;
    QString Nombre;  // first 30 characters
};

// The first 250 rows of the product table ordered by Grupo, Codigo; always 250 slots, those after
// the last row empty. Raises ErrorAlmacenamiento when the table cannot be read.
QList<FilaProducto> LeerFilasProductos();

// Totals entry with its product, as the totals sheet takes them.
struct TotalProducto {
    FilaProducto producto;
    EntradaTotal entrada;
};
QList<TotalProducto> EmparejarTotales(const QList<FilaProducto>& filas,
                                      const QList<EntradaTotal>& entradas);
