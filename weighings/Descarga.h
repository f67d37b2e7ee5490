#pragma once
// The download of the indicator's audit memory, written once for the download window, the
// scheduled download and bascora-cli: lock, count, overflow, counter, records, batch number,
// sinks, delete, unlock. The callers differ only in how they tell what happened (boxes or report
// lines), which they do through AvisosDescarga and the result.

#include <QByteArray>
#include <QString>

#include "base/Globales.h"
#include "weighings/Decodificacion.h"
#include "weighings/Sumideros.h"

class Enlace;

// The records follow the count register; the lock register is the first one after them.
inline constexpr int DirPesadas = DirAuditoria + 1;
static_assert(DirAuditoria + 1 + LargoRegistro * CapacidadAuditoria / 2 == DirBloqueo);

// Register data of the lock register and of the delete command (2 bytes per register, low first).
QByteArray DatoBloquear();     // FF 00
QByteArray DatoDesbloquear();  // 00 00
QByteArray DatoEliminar();     // "G" 00

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
    OtraDescarga,         // another download of this data folder is running: nothing was sent
    SinCarpeta,           // the data folder takes no file (full, read-only): nothing was sent
    SinSalida,            // no sink is active: nothing was sent
    FalloEstado,          // the status could not be read
    FalloBloqueo,         // the lock was refused: nothing else was sent
    FalloLectura,         // count or counter not read: locked
    FalloPesadas,         // records not read: locked, nothing stored
    FalloLote,            // the batch number could not be stored: nothing stored, unlocked
    FalloAlmacenamiento,  // a sink failed: records kept in the indicator
    FalloEliminar,        // stored, but not deleted: locked, records kept
    FalloDesbloqueo,      // stored and deleted (or nothing to store), but still locked
    SinEliminar,          // resumed delete: the memory changed since the records were stored, so
                          // they were left in it (the next download skips those already stored)
};

struct ResultadoDescarga {
    FinDescarga fin = FinDescarga::FalloEstado;
    int cantidad = 0;             // records read
    int cuenta = 0;               // the count register as read (before the overflow cut)
    long long contador = 0;       // the weighing counter as read
    long long lote = 0;           // batch number used; 0 when none was taken
    int reintentos = 0;           // repeated blocks of the records read
    int yaGuardadas = 0;          // records skipped because an earlier download stored them
    bool totales = false;         // the totals sheet was written
    bool desbloqueado = true;     // after a storage failure: the indicator was released
    bool claveDuplicada = false;  // the storage failure was the table refusing a duplicate
    QString motivo;               // what failed, for the logs
    // The indicator's memory was emptied into the PC (or was empty) and the indicator is free.
    bool exito() const { return fin == FinDescarga::Completa || fin == FinDescarga::SinPesadas; }
};

// Time spent in each stage of the last download (benchmarks; zero when not measured).
struct MedidasDescarga {
    qint64 enlaceNs = 0;
    qint64 decodificacionNs = 0;
    qint64 sumiderosNs = 0;        // opening, adding and closing the active sinks
    TiemposSumideros porSumidero;  // the same, sink by sink
};

// What a download tells along the way, in its own words (boxes, report lines, log lines).
class AvisosDescarga {
  public:
    virtual ~AvisosDescarga() = default;
    virtual void Desborde(int perdidas) = 0;
    // The records read failed (the log line with the counts).
    virtual void FalloPesadas(int cantidad, int registros, qsizetype bytes, int reintentos) = 0;
    // Every active sink has the records; the delete comes next.
    virtual void Almacenadas(const ResultadoDescarga& r) = 0;
    virtual void FalloTotales() {}
};

struct ParametrosDescarga {
    TipoDescarga tipo = TipoDescarga::Manual;
    OpcionesCampos campos;
    bool totales = false;  // the totals sheet, when BajarTotCod asks for it (manual download)
    // After a storage failure: release the indicator (nobody watches the scheduled download), or
    // leave it locked for the operator (download window).
    bool desbloquearTrasFallo = false;
    MedidasDescarga* medidas = nullptr;
};

// The records read: 13 registers per record from DirPesadas. When the link gives up part way (its
// three tries of one block ran out), the read goes on from the first missing register, as long as
// each further request brings something; it stops after two requests in a row that bring nothing,
// or when the operator cancels. *dato gets everything read, in order. True when complete.
bool LeerPesadas(Enlace& enlace, int registros, QByteArray* dato);

// One whole download after the status check. Holds the data folder's download lock from start to
// end: a second download of the same folder (window, service or CLI) gets OtraDescarga.
ResultadoDescarga Descargar(Enlace& enlace, const ParametrosDescarga& parametros,
                            AvisosDescarga& avisos);

// The resumed delete of a scheduled download whose delete failed: the records are deleted only
// when the count and the weighing counter are still those of the stored download (else weighings
// taken since would go with them); otherwise the indicator is only unlocked. *motivo says why
// nothing was deleted: FalloLectura, FalloEliminar, FalloDesbloqueo, Completa, OtraDescarga or
// SinEliminar.
FinDescarga EliminarSiSinCambios(Enlace& enlace, int cuenta, long long contador, QString* motivo);
