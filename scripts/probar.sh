#!/usr/bin/env bash
# Runs every test. When a PostgreSQL server can be started on loopback, the data-store tests also
# run against it (BASCORA_PRUEBA_PG holds its connection string); otherwise they say it was skipped.
set -euo pipefail
BUILD=${1:-build}
cd "$(dirname "$0")/.."

ejecutar_ctest() {
    ctest --test-dir "$BUILD" --output-on-failure --timeout 300 -j 2
}

if [ -x scripts/postgres-prueba.sh ]; then
    scripts/postgres-prueba.sh bash -c "$(declare -f ejecutar_ctest); BUILD='$BUILD' ejecutar_ctest"
else
    ejecutar_ctest
fi
