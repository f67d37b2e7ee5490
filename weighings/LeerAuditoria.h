#pragma once
// The manual download of the indicator's audit memory (the status check, then the shared download
// with every message to the operator), and the unlock and delete commands of the download window.
// They talk to the indicator through an Enlace and to the operator through an Interaccion only, so
// the window, bascora-cli and the tests run the very same procedure.

#include <QByteArray>
#include <QString>

#include "weighings/Descarga.h"

class Enlace;
class Interaccion;

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
