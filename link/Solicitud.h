#pragma once
// Typed requests to the indicator and their results: a read run, a write run or the ASCII command,
// as the link client (ClienteEnlace) takes them one at a time.

#include <QByteArray>
#include <QDateTime>
#include <QMetaType>
#include <QString>

#include "link/Enlace.h"
#include "link/Registros.h"
#include "link/Transporte.h"

class Transporte;

enum class TipoSolicitud { Leer, Escribir, Comando };

struct SolicitudEnlace {
    TipoSolicitud tipo = TipoSolicitud::Leer;
    int direccion = 0;  // first register (0-65535)
    int cantidad = 0;   // registers to read (Leer)
    QByteArray dato;    // data to write, 2 bytes per register low byte first; or the command text
    QString leyenda;    // progress caption instead of the default one; empty = default
    bool silenciosa = false;  // no link window (the live weight's polls)
};

struct RespuestaEnlace {
    QByteArray dato;  // data read (also the blocks read before a failure), or the command answer
    bool exito = false;
    int reintentos = 0;  // repeated tries of this request
    bool cancelado = false;
    QString motivo;  // why it failed, for the operator; empty on success
};
Q_DECLARE_METATYPE(RespuestaEnlace)

// Link health of one connection (NombreConexion).
struct SaludEnlace {
    QString conexion;
    quint64 tramasEnviadas = 0;
    quint64 respuestasBuenas = 0;
    quint64 tiemposAgotados = 0;
    quint64 erroresCrc = 0;
    quint64 respuestasMalformadas = 0;
    quint64 reintentos = 0;
    QString ultimoFallo;
    QDateTime ultimoIntercambio;  // invalid until the first exchange
};
Q_DECLARE_METATYPE(SaludEnlace)

// Counts one exchange and its verdict.
void AnotarTrama(SaludEnlace& salud, const JuicioRespuesta& juicio);
// "tramas 120, buenas 118, sin respuesta 1, CRC 1, malformadas 0, reintentos 2" plus the last
// failure; empty before the first frame.
QString ResumenSalud(const SaludEnlace& salud);

// Carries out one request on an open (or failed) line with slave address `id`: reads of up to 8
// registers a frame, writes of one, three tries each, progress and Cancel through `control`.
// Out-of-range fields fail without a frame.
RespuestaEnlace EjecutarSolicitud(Transporte& linea, const SolicitudEnlace& solicitud, int id,
                                  const ControlRegistros& control = {});

// The request fields of the link window as a typed request. False for an unknown Modo (nothing is
// to be sent). Direccion and Longitud that are not decimal numbers give out-of-range fields.
bool SolicitudDePeticion(const PeticionEnlace& peticion, SolicitudEnlace* solicitud);
// Copies a result back into the fields as the link window leaves them: a read sets Exito and Dato,
// a write sets Exito, a command sets Dato only; Cancelado always.
void CompletarPeticion(PeticionEnlace& peticion, const RespuestaEnlace& respuesta);
