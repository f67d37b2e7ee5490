#pragma once
// The manual download of the indicator's audit memory, and the unlock and delete commands of the
// download window. They talk to the indicator through an Enlace and to the operator through an
// Interaccion only, so the window, bascora-cli and the tests run the very same procedure.

#include <QByteArray>
#include <QString>

#include "base/Globales.h"
#include "weighings/Decodificacion.h"
#include "weighings/Sumideros.h"

class Enlace;
class Interaccion;

// The records follow the count register; the lock register is the first one after them.
inline constexpr int DirPesadas = DirAuditoria + 1;
static_assert(DirAuditoria + 1 + LargoRegistro * CapacidadAuditoria / 2 == DirBloqueo);

// Register data of the lock register and of the delete command (2 bytes per register, low first).
QByteArray DatoBloquear();     // FF 00
QByteArray DatoDesbloquear();  // 00 00
QByteArray DatoEliminar();     // "G" 00

// Unsigned little-endian numbers at the start of register data; missing bytes count as 0.
inline int ByteDe(const QByteArray& d, qsizetype i) {
    return i < d.size() ? static_cast<unsigned char>(d[i]) : 0;
}
inline int Numero16(const QByteArray& d) {
    return ByteDe(d, 0) + 256 * ByteDe(d, 1);
}
inline long long Numero24(const QByteArray& d) {
    return ByteDe(d, 0) + 256LL * ByteDe(d, 1) + 65536LL * ByteDe(d, 2);
}
// "12" or "12.5": half of the bytes received, as the failure log counts registers.
QString MitadBytes(qsizetype bytes);
// Indicator-wide number of the first of `cantidad` records, from the weighing counter.
inline long long PrimeraSecuencia(long long contador, int cantidad) {
    const long long primera = contador - cantidad;
    return primera < 0 ? primera + (1LL << 24) : primera;  // the 24-bit counter wrapped
}

enum class FinDescarga {
    Completa,             // records stored, deleted in the indicator, indicator unlocked
    SinPesadas,           // the memory was empty; indicator unlocked
    Esperar,              // the indicator is busy and the operator chose to wait
    Ocupado,              // the indicator is busy and the operator chose not to wait
    FalloEstado,          // the status could not be read
    FalloBloqueo,         // the lock was refused: nothing else was sent
    FalloLectura,         // count or counter not read: locked
    FalloPesadas,         // records not read: locked, nothing stored
    FalloAlmacenamiento,  // a sink failed: locked, records kept in the indicator
    FalloEliminar,        // stored, but not deleted: locked, records kept
    FalloDesbloqueo,      // stored and deleted (or nothing to store), but still locked
};

struct ResultadoDescarga {
    FinDescarga fin = FinDescarga::FalloEstado;
    int cantidad = 0;      // records read
    long long lote = 0;    // batch number used; 0 when none was taken
    int reintentos = 0;    // repeated blocks of the records read
    bool totales = false;  // the totals sheet was written
    // The indicator's memory was emptied into the PC (or was empty) and the indicator is free.
    bool exito() const { return fin == FinDescarga::Completa || fin == FinDescarga::SinPesadas; }
};

// The records read: 13 registers per record from DirPesadas. When the link gives up part way (its
// three tries of one block ran out), the read goes on from the first missing register, as long as
// each further request brings something; it stops after two requests in a row that bring nothing,
// or when the operator cancels. *dato gets everything read, in order. True when complete.
bool LeerPesadas(Enlace& enlace, int registros, QByteArray* dato);

// Time spent in each stage of the last download (benchmarks; zero when not measured).
struct MedidasDescarga {
    qint64 enlaceNs = 0;
    qint64 decodificacionNs = 0;
    qint64 sumiderosNs = 0;        // opening, adding and closing the active sinks
    TiemposSumideros porSumidero;  // the same, sink by sink
};

// The whole manual download: status, lock, count, counter, records, batch number, sinks, totals,
// delete, unlock, with every message to the operator. `campos` are the flags of Llena_Opciones.
ResultadoDescarga LeerAuditoria(Enlace& enlace, Interaccion& interaccion,
                                const OpcionesCampos& campos, MedidasDescarga* medidas = nullptr);

// One status read, as the waiting state polls it.
enum class EstadoIndicador { Libre, Ocupado, SinRespuesta };
EstadoIndicador LeerEstadoIndicador(Enlace& enlace);

enum class ResultadoComando { Rechazado, Hecho, Fallo };

// "Desbloquear": asks, writes 00 00 to the lock register, tells the outcome.
ResultadoComando CmdDesbloquear(Enlace& enlace, Interaccion& interaccion);
// "Eliminar": asks, sends the delete command, tells its outcome, then unlocks in any case. Hecho
// only when both requests succeeded.
ResultadoComando CmdEliminar(Enlace& enlace, Interaccion& interaccion);
