#pragma once
// The product table and the group configuration table on the PC: reads, the window's edits, the
// whole-table replacement of a recovery or an import, and Guarda_Opciones. Every value is bound;
// table names come from the settings and are quoted as identifiers. Rows are identified by their
// values (the table has no key of its own), so that two equal rows behave as two.

#include <QList>
#include <QString>
#include <optional>

#include "data/Tablas.h"
#include "products/ImagenPLU.h"

class QSqlDatabase;

// The name as it goes into SQL: a plain identifier as it stands (each engine folds it as the
// provisioning did), anything else quoted by the driver.
QString NombreSql(const QSqlDatabase& db, const QString& tabla);

enum class OrdenProductos { Codigo, GrupoCodigo, Grupo, Nombre, EAN };

// The rows of one group (grupo 1..8) or of all (grupo 0) in the order asked; nothing, with the
// engine's reason in *error, when the table cannot be read.
std::optional<QList<Producto>> LeerProductos(const TablaDatos& t, int grupo, OrdenProductos orden,
                                             QString* error = nullptr);
// Codes in all groups; -1 when the table cannot be read.
int ContarProductos(const TablaDatos& t, QString* error = nullptr);

bool AgregarProducto(const TablaDatos& t, const Producto& p, QString* error = nullptr);
// Replaces one row equal to `antes` by `despues`.
bool ModificarProducto(const TablaDatos& t, const Producto& antes, const Producto& despues,
                       QString* error = nullptr);
// Deletes one row equal to `p`.
bool EliminarProducto(const TablaDatos& t, const Producto& p, QString* error = nullptr);
// The whole table becomes `productos`, in one transaction: on any failure it stays as it was.
bool ReemplazarProductos(const TablaDatos& t, const QList<Producto>& productos,
                         QString* error = nullptr);

// Writes the eight groups into the first rows of the configuration table in Codigo order (rows
// beyond its end are not created), in one transaction.
bool Guarda_Opciones(const TablaDatos& t, const OpcionesCampos& o, QString* error = nullptr);
// Llena_Opciones on a given table.
OpcionesCampos Llena_Opciones(const TablaDatos& t);
