#!/usr/bin/env bash
# postgres-prueba.sh CMD...: runs CMD with a throwaway PostgreSQL server on 127.0.0.1.
# The server lives in a temporary folder on a free port; BASCORA_PRUEBA_PG holds its connection
# string while CMD runs. Afterwards the server is stopped by its PID and the folder removed.
# When no server can be started, CMD runs without the variable (the tests then skip PostgreSQL).
# The exit status is CMD's.
set -u

if [ $# -eq 0 ]; then
    echo "usage: $0 CMD [ARG...]" >&2
    exit 2
fi

PGBIN=${PGBIN:-}
if [ -z "$PGBIN" ]; then
    for d in /usr/lib/postgresql/15/bin $(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -Vr); do
        if [ -x "$d/initdb" ] && [ -x "$d/postgres" ]; then PGBIN=$d; break; fi
    done
fi


DIR=""
PID=""
limpiar() {
    if [ -n "$PID" ] && kill -0 "$PID" 2>/dev/null; then
        kill -INT "$PID" 2>/dev/null  # fast shutdown
        for _ in $(seq 1 100); do
            kill -0 "$PID" 2>/dev/null || break
            sleep 0.1
        done
        kill -0 "$PID" 2>/dev/null && kill -KILL "$PID" 2>/dev/null
    fi
    [ -n "$DIR" ] && rm -rf "$DIR"
    PID=""
    DIR=""
}
trap limpiar EXIT
trap 'limpiar; exit 130' INT TERM

ejecutar_sin() {
    echo "postgres-prueba: $1; running without PostgreSQL (its tests are skipped)" >&2
    limpiar
    unset BASCORA_PRUEBA_PG
    "${@:2}"
    exit $?
}

[ -n "$PGBIN" ] || ejecutar_sin "no PostgreSQL server binaries found" "$@"

# As root the server must run as another user.
COMO=()
if [ "$(id -u)" -eq 0 ]; then
    if ! id postgres >/dev/null 2>&1; then
        ejecutar_sin "running as root and there is no postgres user" "$@"
    fi
    if command -v runuser >/dev/null; then
        COMO=(runuser -u postgres --)
    else
        COMO=(su postgres -s /bin/sh -c)
    fi
fi
como() {
    if [ ${#COMO[@]} -eq 0 ]; then
        "$@"
    elif [ "${COMO[0]}" = runuser ]; then
        "${COMO[@]}" "$@"
    else
        "${COMO[@]}" "$(printf '%q ' "$@")"
    fi
}

DIR=$(mktemp -d "${TMPDIR:-/tmp}/bascora-pg.XXXXXX") || ejecutar_sin "no temporary folder" "$@"
chmod 755 "$DIR"
[ "$(id -u)" -eq 0 ] && chown postgres "$DIR"

PUERTO=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])' 2>/dev/null \
    || echo $((20000 + RANDOM % 30000)))
USUARIO=bascora
CLAVE=bascora
BASE=bascora_prueba

como "$PGBIN/initdb" -D "$DIR/data" -U "$USUARIO" --auth=trust -E UTF8 --locale=C >"$DIR/initdb.log" 2>&1 \
    || ejecutar_sin "initdb failed ($(tail -n 1 "$DIR/initdb.log"))" "$@"

como "$PGBIN/postgres" -D "$DIR/data" -p "$PUERTO" -c listen_addresses=127.0.0.1 \
    -c unix_socket_directories="$DIR" -c fsync=off -c synchronous_commit=off \
    -c full_page_writes=off >"$DIR/server.log" 2>&1 &
LANZADO=$!

# Wait for the server (pg_isready), at most 30 s.
listo=0
for _ in $(seq 1 300); do
    if "$PGBIN/pg_isready" -q -h 127.0.0.1 -p "$PUERTO"; then listo=1; break; fi
    kill -0 "$LANZADO" 2>/dev/null || break
    sleep 0.1
done
# The server's own PID (runuser may sit in between).
if [ -f "$DIR/data/postmaster.pid" ]; then PID=$(head -n 1 "$DIR/data/postmaster.pid"); else PID=$LANZADO; fi
[ "$listo" -eq 1 ] || ejecutar_sin "the server did not start ($(tail -n 1 "$DIR/server.log"))" "$@"

"$PGBIN/createdb" -h 127.0.0.1 -p "$PUERTO" -U "$USUARIO" "$BASE" >/dev/null 2>&1 \
    || ejecutar_sin "createdb failed" "$@"

export BASCORA_PRUEBA_PG="Driver=QPSQL;Host=127.0.0.1;Port=$PUERTO;Database=$BASE;User=$USUARIO;Password=$CLAVE;"
echo "postgres-prueba: PostgreSQL on 127.0.0.1:$PUERTO (pid $PID)" >&2
"$@"
rc=$?
limpiar
wait "$LANZADO" 2>/dev/null
exit $rc
