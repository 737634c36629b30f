#!/usr/bin/env bash
# Builds the programs and starts the archiver. Without a display it shows a
# short demonstration of the engine through tolvane-cli instead.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)"

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec build/bin/tolvane
fi

echo "Kein Bildschirm gefunden (DISPLAY und WAYLAND_DISPLAY sind leer): tolvane braucht eine grafische Oberfläche, hier eine kurze Vorführung mit tolvane-cli."
cli=build/bin/tolvane-cli
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo
echo "\$ tolvane-cli --help"
"$cli" --help

# Volume 1 of a one-volume archive with two files, written byte by byte:
# the header (magic, volume number, count, file count, total and volume
# size, one record per file with its UTC time), then the files' data.
record() {  # name, size
    printf '%s\000%s\000' "$1" "$2"
    printf '\350\007\005\002\025\011\036\000\000\000\000'  # 2024-05-21 09:30:00
}
{
    printf 'PACK\0000001\0000001\0000002\00030\0001441792\000'
    record "brief.txt" 19
    record "notiz.txt" 11
    printf '\000'
    printf 'Lieber Leser, hallo'
    printf 'Einkaufen!\n'
} > "$work/package.001"
printf 'Nur eine Textdatei.\n' > "$work/notiz.txt"

echo
echo "\$ tolvane-cli info package.001"
"$cli" info "$work/package.001"
echo
echo "\$ tolvane-cli info notiz.txt"
"$cli" info "$work/notiz.txt" || true
