#!/usr/bin/env bash
# Runs every benchmark in bench/ and prints its figures.
set -euo pipefail
BUILD=${1:-build}
cd "$(dirname "$0")/.."
for fuente in bench/*.cpp; do
    nombre=$(basename "$fuente" .cpp)
    echo "== $nombre"
    "$BUILD/$nombre"
done
