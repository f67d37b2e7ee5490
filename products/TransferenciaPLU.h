#pragma once
// Moving the product codes and the group configuration between the PC and the indicator: load
// the codes, load the configuration, recover both, and compare the PC's codes with the
// indicator's. Each procedure asks and tells the operator through Interaccion with the window's
// texts and returns what happened.

#include <QList>
#include <QString>
#include <optional>

#include "data/Tablas.h"
#include "products/ImagenPLU.h"

class Enlace;
class Interaccion;

struct ResultadoPLU {
    bool ok = false;         // everything asked for was done
    bool rechazado = false;  // the operator answered No: nothing was done
    int cantidad = 0;        // codes sent or stored
    QString error;           // what failed, as told to the operator
};

// The codes of one group that differ between the PC and the indicator.
struct DiferenciasGrupo {
    int grupo = 0;
    QList<Producto> soloPC;                      // the load adds them
    QList<Producto> soloIndicador;               // the load deletes them from the indicator
    QList<QPair<Producto, Producto>> distintos;  // (PC, indicator): name, EAN or Aux differ
};

struct Comparacion {
    QList<DiferenciasGrupo> grupos;  // only groups with differences, in group order
    int nuevos() const;
    int cambiados() const;
    int borrados() const;
    bool iguales() const { return grupos.isEmpty(); }
    // "12 nuevos, 3 cambiados, 1 se borrará del indicador"
    QString Resumen() const;
    // The resumen and then, per group, the codes of each kind, one line per kind.
    QString Detalle(const OpcionesCampos& config) const;
};

// Compares products as the load would send them (first 250 in Grupo, Codigo order, with the
// PC's tax-number flags) with the indicator's image read with the indicator's own flags.
Comparacion CompararProductos(const QList<Producto>& pc, const std::array<bool, 9>& cuitPC,
                              const QList<Producto>& indicador);

// Reads the indicator's flags and image and compares them with the product table. Nothing, with
// *error, when the indicator or the table cannot be read. Asks nothing.
std::optional<Comparacion> CompararConIndicador(Enlace& enlace, const TablaDatos& plu,
                                                const OpcionesCampos& config,
                                                QString* error = nullptr);

// Load the codes: compares first when `comparar` (the question then carries the summary), asks,
// sends the 13,000-byte image at register 20. `config` gives the tax-number layout per group.
ResultadoPLU CargarCodigos(Enlace& enlace, Interaccion& op, const TablaDatos& plu,
                           const OpcionesCampos& config, bool comparar = true);

// Load the configuration: asks, stores it on the PC (Guarda_Opciones), then letters at 8, flags
// at 6520 and names at 14228, each request on its own with its own error.
ResultadoPLU CargarConfiguracion(Enlace& enlace, Interaccion& op, const TablaDatos& setup,
                                 const OpcionesCampos& config);

// Recover: asks, reads letters, flags and names, stores that configuration, reads the image and
// replaces the product table by it in one transaction. A failed read ends the procedure; when the
// image read fails the product table stays as it was. *leida gets the configuration read back.
ResultadoPLU RecuperarCodigos(Enlace& enlace, Interaccion& op, const TablaDatos& plu,
                              const TablaDatos& setup, OpcionesCampos* leida = nullptr);

// The Comparar command: reads and shows the differences (or the failure) to the operator.
ResultadoPLU MostrarComparacion(Enlace& enlace, Interaccion& op, const TablaDatos& plu,
                                const OpcionesCampos& config);
