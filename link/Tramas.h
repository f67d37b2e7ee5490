#pragma once
// Frames of the indicator's register protocol: Modbus RTU read holding registers (3)
// and write single register (6) with CRC-16/MODBUS, and the ":" command exchange without CRC.
// Register data at the caller's side is 2 bytes per register, LOW byte first; on the wire each
// register is big-endian. Every failure gives "" (an empty QByteArray).

#include <QByteArray>

#include "link/Transporte.h"

// CRC-16/MODBUS of mensaje: 2 bytes, low byte first (the order they are sent in).
QByteArray crc16(const QByteArray& mensaje);

// The request frames (CRC included), as RxD and TxD send them. Empty when an argument is out of
// range (id 0-255, direccion 0-65535, cantidad 1-125, dato exactly 2 bytes).
QByteArray TramaLectura(int id, int direccion, int cantidad);
QByteArray TramaEscritura(int id, int direccion, const QByteArray& dato);

// Every answer is checked against its request: length, CRC, slave address (any address is taken
// when the configured one is 0), function code, and the byte count (read) or the echoed register
// and value (write). Each exchange's verdict goes to the line (Transporte::Juzgar).
JuicioRespuesta JuzgarLectura(const QByteArray& respuesta, int id, int cantidad);
JuicioRespuesta JuzgarEscritura(const QByteArray& respuesta, const QByteArray& trama);
JuicioRespuesta JuzgarComando(const QByteArray& respuesta);

// One read exchange of `cantidad` registers (1 to 8) from `direccion`: 2 x cantidad bytes, low
// byte first per register, or "" on any failure (no answer, or one that fails the checks).
QByteArray RxD(Transporte& linea, int id, int direccion, int cantidad);
// One write exchange of one register; `dato` is the 2-byte value, low byte first. Returns the
// echoed value, low byte first, or "" (also when the echo is not the register and value sent).
QByteArray TxD(Transporte& linea, int id, int direccion, const QByteArray& dato);
// One command exchange: ":" + comando + CR LF; the 90-byte answer, or "".
QByteArray TRxC(Transporte& linea, const QByteArray& comando);

inline constexpr int kLargoRespuestaComando = 90;
inline constexpr int kMaxRegistrosPorTrama = 8;
