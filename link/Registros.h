#pragma once
// Register runs: a read of N registers split into frames of up to 8, a write split into
// one frame per register; three attempts per frame, the shared retry counter Reintentos, progress
// after each block; Cancel stops the run before the next try (the link also cuts the wait short).
// Register data: 2 bytes per register, low byte first.

#include <QByteArray>
#include <atomic>
#include <functional>

class Transporte;

inline constexpr int kIntentosPorTrama = 3;

struct ControlRegistros {
    std::function<void(int)> progreso;             // 0-100 after each block; may be empty
    const std::atomic<bool>* cancelado = nullptr;  // checked between tries; may be null
    int* reintentos = nullptr;  // out: repeated tries of this run are added here; may be null
};

// Reads `longitud` registers from `direccion` at slave `id`: 2 x longitud bytes when all were
// read, fewer (the blocks read before the stop) when a block failed three times, Cancel was
// pressed, or the run passes register 65535. Nothing is sent when longitud < 1.
QByteArray Leer(Transporte& linea, int id, qint64 direccion, qint64 longitud,
                const ControlRegistros& control = {});

// Writes `dato` from `direccion`, one register per frame, after padding an odd length with one
// zero byte. The concatenated echoes when every register was written, else "" (a register that
// failed three times, Cancel, an empty `dato`, a run past register 65535).
QByteArray Escribir(Transporte& linea, int id, qint64 direccion, QByteArray dato,
                    const ControlRegistros& control = {});

// The slave address of the settings (ID_1, section "global", default 0), read at every run.
int LeerIdEsclavo();
