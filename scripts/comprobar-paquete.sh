#!/usr/bin/env bash
# Checks a built Debian package: the files it must install, its control fields and, when the tools
# are there, its desktop entry and lintian's verdict. Exits 1 naming everything that is wrong.
# Usage: scripts/comprobar-paquete.sh [PAQUETE.deb | FOLDER]   (default folder: build)
set -euo pipefail

objetivo=${1:-build}
if [ -d "$objetivo" ]; then
    # The newest one: an older version may still lie in the build folder.
    paquete=$(ls -t "$objetivo"/bascora_*.deb 2>/dev/null | head -n 1 || true)
    if [ -z "$paquete" ]; then
        echo "No bascora_*.deb in $objetivo (make deb builds it)." >&2
        exit 1
    fi
else
    paquete=$objetivo
fi
echo "Checking $paquete"

ESPERADOS=(
    ./usr/bin/bascora
    ./usr/bin/bascora-cli
    ./usr/bin/bascora-simulador
    ./usr/libexec/bascora/bascora-escritorio
    ./usr/share/bascora/English.idm
    ./usr/share/bascora/PlantillaBascora.xlsx
    ./usr/share/bascora/bascora.ini
    ./usr/share/bascora/ayuda/index.html
    ./usr/share/applications/bascora.desktop
    ./usr/share/icons/hicolor/scalable/apps/bascora.svg
    ./usr/lib/systemd/system/bascora-auto@.service
    ./usr/share/doc/bascora/copyright
    ./usr/share/doc/bascora/changelog.gz
    ./usr/share/man/man1/bascora.1.gz
    ./usr/share/man/man1/bascora-cli.1.gz
    ./usr/share/man/man1/bascora-simulador.1.gz
)
EJECUTABLES=(./usr/bin/bascora ./usr/bin/bascora-cli ./usr/bin/bascora-simulador
    ./usr/libexec/bascora/bascora-escritorio)

fallos=()
contenido=$(dpkg-deb -c "$paquete")
# Columns of dpkg-deb -c: mode, owner, size, date, time, path.
rutas=$(awk '{print $6}' <<<"$contenido")
for ruta in "${ESPERADOS[@]}"; do
    grep -qxF "$ruta" <<<"$rutas" || fallos+=("missing $ruta")
done
for ruta in "${EJECUTABLES[@]}"; do
    modo=$(awk -v r="$ruta" '$6 == r {print $1}' <<<"$contenido")
    if [ -n "$modo" ] && [ "$modo" != "-rwxr-xr-x" ]; then
        fallos+=("$ruta has mode $modo, not -rwxr-xr-x")
    fi
done
if grep -q '^./usr/local/' <<<"$rutas"; then
    fallos+=("files under /usr/local")
fi
if awk '{print $2}' <<<"$contenido" | grep -qvx 'root/root'; then
    fallos+=("files not owned by root")
fi

control=$(dpkg-deb -I "$paquete")
campo() { sed -n "s/^ $1: //p" <<<"$control"; }
[ "$(campo Package)" = "bascora" ] || fallos+=("Package is not bascora")
[ -n "$(campo Version)" ] || fallos+=("no Version")
depende=$(campo Depends)
if [ -z "$depende" ]; then
    fallos+=("no Depends")
else
    for p in libqt6core6 libqt6widgets6 libqt6serialport6 libqt6sql6-sqlite libqt6svg6 qt6-translations-l10n; do
        grep -qE "(^|, )$p( |,|$)" <<<"$depende" || fallos+=("Depends lacks $p")
    done
fi
grep -q "libqt6sql6-psql" <<<"$(campo Recommends)" || fallos+=("Recommends lacks libqt6sql6-psql")
for guion in postinst prerm postrm; do
    grep -qE "^ +[0-9]+ bytes, +[0-9]+ lines +\* +$guion " <<<"$control" ||
        fallos+=("no executable $guion script")
done

temporal=$(mktemp -d)
trap 'rm -rf "$temporal"' EXIT
dpkg-deb -x "$paquete" "$temporal"
entrada="$temporal/usr/share/applications/bascora.desktop"
if [ -f "$entrada" ] && command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$entrada" ||
        fallos+=("the desktop entry does not validate")
fi
unidad="$temporal/usr/lib/systemd/system/bascora-auto@.service"
if [ -f "$unidad" ] && command -v systemd-analyze >/dev/null; then
    # Only the unit's own syntax: the executables it names are not installed here.
    if systemd-analyze verify "$unidad" 2>&1 |
        grep -v -e 'is not executable' -e 'No such file' | grep -q .; then
        systemd-analyze verify "$unidad" || true
        fallos+=("systemd-analyze finds faults in bascora-auto@.service")
    fi
fi
if command -v lintian >/dev/null; then
    informe=$(lintian --tag-display-limit 0 "$paquete" || true)
    [ -n "$informe" ] && echo "$informe"
    grep -q '^E: ' <<<"$informe" && fallos+=("lintian reports errors")
fi

if [ ${#fallos[@]} -gt 0 ]; then
    printf 'FAILED: %s\n' "${fallos[@]}" >&2
    exit 1
fi
echo "Package OK: $(campo Package) $(campo Version) $(campo Architecture)"
