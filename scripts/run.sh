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
cli=$(pwd)/build/bin/tolvane-cli
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo
echo "\$ tolvane-cli --help"
"$cli" --help

show() {  # runs and shows a command line
    echo
    echo "\$ tolvane-cli $*"
    "$cli" "$@" || true
}

mkdir -p "$work/quelle" "$work/ziel" "$work/disketten"
head -c 1500000 /dev/urandom > "$work/quelle/bilder.dat"
printf 'Lieber Leser, hallo!\n' > "$work/quelle/brief.txt"
head -c 700000 /dev/urandom > "$work/quelle/tabelle.xls"
cd "$work"

show split --size 1.44M -o disketten/package.001 quelle/bilder.dat quelle/brief.txt quelle/tabelle.xls
show info disketten/package.002
show extract disketten/package.001 -d ziel
echo
echo "\$ cmp quelle/bilder.dat ziel/bilder.dat && echo gleich"
cmp quelle/bilder.dat ziel/bilder.dat && echo gleich
rm disketten/package.002
show repair disketten/package.001 --number 2 --sources quelle -o disketten
printf 'Nur eine Textdatei.\n' > notiz.txt
show info notiz.txt
