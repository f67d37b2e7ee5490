#pragma once
// The indicator's byte layouts of the product codes: the 13,000-byte image of 250 slots of 52
// bytes, and the group letters, flag masks and group names of the group configuration.
// Characters are Windows-1252 both ways.

#include <QByteArray>
#include <QList>
#include <QString>
#include <array>

#include "products/OpcionesGrupo.h"

inline constexpr int CapacidadCodigos = 250;  // codes in all groups together
inline constexpr int LargoSlot = 52;
inline constexpr int LargoImagen = CapacidadCodigos * LargoSlot;  // 13,000 bytes, 6,500 registers
inline constexpr int CantidadGrupos = 8;
inline constexpr int LargoNombreGrupo = 12;
inline constexpr int MaxCodigo = 0xFFFFFF;  // 24 bits on the wire
inline constexpr int LargoNombre = 46;      // what the window and the import accept
inline constexpr int LargoEAN = 15;

// One row of the product table.
struct Producto {
    qint64 Codigo = 0;
    int Grupo = 0;
    QString Nombre;
    QString EAN;
    QString Aux;
    bool operator==(const Producto&) const = default;
};

// Grupo clamped to 1..8, as the load sends it.
int GrupoAcotado(int grupo);

// Slot of one product; `cuit` chooses the tax-number layout (name 31 bytes, EAN 16 bytes).
QByteArray CodificarSlot(const Producto& p, bool cuit);
// The whole image: the first 250 products in the order given, then zero slots. cuit[g - 1] tells
// whether group g uses the tax-number layout.
QByteArray ArmarImagen(const QList<Producto>& productos, const std::array<bool, 9>& cuit);
// The used slots of an image (slots with group 0 are skipped), in slot order. Texts end at the
// first zero byte (the terminator the load writes) and lose their trailing blanks; an Aux that is
// a blank or a zero byte is empty, as the load sends an empty Aux as a blank.
QList<Producto> LeerImagen(const QByteArray& imagen, const std::array<bool, 9>& cuit);

// Configuration bytes to write: 8 letters (blank for an empty one), 4 flag bytes (alphanumeric,
// text, tax-number masks, 0), 96 name bytes (12 per group, blank-padded, no terminator).
QByteArray LetrasGrupos(const OpcionesCampos& o);
QByteArray MascarasGrupos(const OpcionesCampos& o);
QByteArray NombresGrupos(const OpcionesCampos& o);
// The configuration read back: 8 letter bytes, the flag bytes (at least 3), 96 name bytes. A
// name keeps 11 bytes of its 12; a group both alphanumeric and text ends up text only, as the
// check boxes' interlocks leave it. All eight rows are filled.
OpcionesCampos LeerConfiguracion(const QByteArray& letras, const QByteArray& mascaras,
                                 const QByteArray& nombres);
