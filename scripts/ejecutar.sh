#!/usr/bin/env bash
# Starts bascora in the data folder ./datos, talking to the indicator simulator on 127.0.0.1.
# Usage: scripts/ejecutar.sh BUILD   (make run calls it after building)
set -euo pipefail
BUILD=${1:-build}
cd "$(dirname "$0")/.."
BUILD=$(cd "$BUILD" && pwd)

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "No display found (DISPLAY and WAYLAND_DISPLAY are not set)." >&2
    echo "Run the program inside a virtual X server:  xvfb-run -a make run" >&2
    exit 1
fi
if [ ! -x "$BUILD/bascora" ] || [ ! -x "$BUILD/bascora-cli" ]; then
    echo "$BUILD/bascora is not built; run: make build" >&2
    exit 1
fi

CLI="$BUILD/bascora-cli"
DATOS=datos
mkdir -p "$DATOS"

# Provisioning comes with the data store; use it when this build has it.
uso=$("$CLI" 2>&1 || true)
if grep -q '^ *preparar' <<<"$uso"; then
    "$CLI" --carpeta "$DATOS" preparar
fi

PID_SIMULADOR=""
terminar() {
    if [ -n "$PID_SIMULADOR" ]; then
        kill "$PID_SIMULADOR" 2>/dev/null || true
        wait "$PID_SIMULADOR" 2>/dev/null || true
        PID_SIMULADOR=""
    fi
}
trap terminar EXIT
trap 'exit 130' INT TERM

if [ -x "$BUILD/bascora-simulador" ]; then
    argumentos=(--tcp 0)
    if [ -f share/simulador/demo.json ]; then
        argumentos+=(--estado share/simulador/demo.json)
    fi
    registro="$DATOS/simulador.log"
    "$BUILD/bascora-simulador" "${argumentos[@]}" >"$registro" 2>&1 &
    PID_SIMULADOR=$!
    # Its first line is "TCP <port>" once it listens.
    puerto=""
    for _ in $(seq 100); do
        puerto=$(sed -n 's/^TCP \([0-9]*\)$/\1/p' "$registro" | head -n 1)
        if [ -n "$puerto" ] || ! kill -0 "$PID_SIMULADOR" 2>/dev/null; then
            break
        fi
        sleep 0.1
    done
    if [ -z "$puerto" ]; then
        echo "The indicator simulator did not start; see $registro" >&2
        exit 1
    fi
    "$CLI" --carpeta "$DATOS" config guardar Global Comunicacion_1 1
    "$CLI" --carpeta "$DATOS" config guardar Global Host_1 127.0.0.1
    "$CLI" --carpeta "$DATOS" config guardar Global Port_1 "$puerto"
    echo "Indicator simulator on 127.0.0.1:$puerto (pid $PID_SIMULADOR)"
else
    echo "bascora-simulador is not built: the program starts without an indicator." >&2
fi

# Not exec: the trap must stop the simulator when the program ends.
"$BUILD/bascora" --carpeta "$DATOS"
