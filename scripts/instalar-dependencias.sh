#!/usr/bin/env bash
# Installs the Debian 12 packages Bascora needs to build, run and test, when any is missing.
set -euo pipefail

PAQUETES=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-serialport-dev libqt6sql6-sqlite libqt6sql6-psql
    libqt6svg6 # the icons are SVG files
    libzip-dev libpugixml-dev libgtest-dev libgmock-dev libmodbus-dev
    qt6-translations-l10n
    xvfb xauth poppler-utils postgresql sqlite3 python3
    dpkg-dev file desktop-file-utils
)

faltan=()
for p in "${PAQUETES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        faltan+=("$p")
    fi
done

if [ ${#faltan[@]} -eq 0 ]; then
    exit 0
fi

echo "Installing: ${faltan[*]}"
sudo_cmd=""
if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd="sudo"
fi
$sudo_cmd apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq "${faltan[@]}"
