#!/usr/bin/env bash
# The Windows stub (Robot.dat) as package.exe under wine, unattended: a set
# written on Linux with the default stub, a renamed first volume, a missing
# volume, the bare stub, names Windows cannot hold; and the image itself.
set -uo pipefail
. "$(dirname "$0")/wine_lib.sh"
robot=${TOLVANE_ROBOT_DAT:?}

# --- the image ---
size=$(stat -c %s "$robot")
echo "Robot.dat: $size bytes"
check "fits the robot image" yes "$([ "$size" -le 63488 ] && echo yes)"

# --- a set written on Linux with the default stub ---
make_sources "$work/src"
mkdir -p "$work/set"
(cd "$work/src" && "$linux_cli" split --sfx --size 100000 -o "$work/set/package.exe" "${source_names[@]}" >/dev/null)
check "four volumes" "package.002 package.003 package.004 package.exe" "$(cd "$work/set" && echo *)"
check "Robot.dat is the default stub" same "$(cmp -s -n "$size" "$robot" "$work/set/package.exe" && echo same)"

cd "$work/set"
out=$(win ./package.exe --target ziel 2>"$work/err")
rc=$?
check "unpacked: exit code" 0 "$rc"
check "unpacked: the lines on stdout" 'Files:3, FileSize:250018, Disks:4
kopiere...
ziel\eins.bin
ziel\Übersicht.txt
ziel\leer
Archiv erfolgreich entpackt!' "$out"
check "unpacked: nothing on stderr" "" "$(cat "$work/err")"
for f in "${source_names[@]}"; do
    check "unpacked $f" same "$(same_file "$work/src/$f" "ziel/$f")"
done
check "milliseconds kept" 981173106789 "$(mtime_ms ziel/eins.bin)"

# --- renamed to setup.exe, its volumes beside it under the new stem ---
mkdir -p "$work/renamed"
cp package.exe "$work/renamed/setup.exe"
for n in 002 003 004; do cp package.$n "$work/renamed/setup.$n"; done
cd "$work/renamed"
out=$(win setup.exe --target "Z:${work//\//\\}\\renamed\\Ziel mit Leerzeichen" 2>"$work/err")
check "setup.exe: exit code" "0 Archiv erfolgreich entpackt!" "$? $(echo "$out" | tail -1)"
for f in "${source_names[@]}"; do
    check "setup.exe unpacked $f" same "$(same_file "$work/src/$f" "Ziel mit Leerzeichen/$f")"
done

# --- a missing volume: nothing is written ---
mkdir -p "$work/gap"
cp "$work/set/package.exe" "$work/set/package.002" "$work/set/package.004" "$work/gap/"
cd "$work/gap"
win package.exe --target ziel >"$work/out" 2>"$work/err"
check "missing volume: exit code" 1 "$?"
check "missing volume: named" "Datei nicht gefunden! Z:${work//\//\\}\gap\package.003" "$(cat "$work/err")"
check "missing volume: nothing written" "package.002 package.004 package.exe" "$(echo *)"

# --- the bare stub holds no archive ---
cp "$robot" "$work/bare.exe"
cd "$work"
win bare.exe --target leer-bleibt >"$work/out" 2>"$work/err"
check "bare stub: exit code" 1 "$?"
check "bare stub: refused" "Ungültiges Archivformat!" "$(cat "$work/err")"
check "bare stub: nothing written" no "$([ -e leer-bleibt ] && echo yes || echo no)"

# --- the call ---
out=$(win bare.exe --help 2>&1)
check "--help: exit code" 0 "$?"
check "--help: usage" yes "$([[ "$out" == *"--target VERZEICHNIS  entpackt ohne Fenster"* ]] && echo yes)"
win bare.exe --ziel x >/dev/null 2>&1
check "wrong call: exit code" 2 "$?"

# --- names Windows cannot hold, refused before anything is written ---
mkdir -p "$work/names"
for name in 'a:b' 'frage?' 'stern*' 'CON' 'com1.txt' 'Lpt9.dat' 'nul .txt' 'punkt.' 'blank '; do
    rm -rf "$work/names/"*
    mkdir -p "$work/names/src" "$work/names/set"
    printf 'x' >"$work/names/src/$name"
    printf 'y' >"$work/names/src/gut.txt"
    (cd "$work/names/src" && "$linux_cli" split --sfx -o ../set/package.exe gut.txt "$name" >/dev/null)
    cd "$work/names/set"
    win package.exe --target ziel >/dev/null 2>"$work/err"
    rc=$?
    check "name '$name' refused by the stub" "1 Tolvane Robot: Der Dateiname „${name}“ ist unter Windows nicht zulässig. Es wurde nichts entpackt." \
        "$rc $(cat "$work/err")"
    check "name '$name': nothing written" "" "$(ls ziel 2>/dev/null)"
    win "$win_cli" extract package.exe -d ziel2 >/dev/null 2>"$work/err"
    check "name '$name' refused by tolvane-cli.exe" "1 Tolvane: Der Dateiname „${name}“ ist unter Windows nicht zulässig. Es wurde nichts entpackt." \
        "$? $(cat "$work/err")"
    check "name '$name': nothing written by tolvane-cli.exe" "" "$(ls ziel2 2>/dev/null)"
done
cd "$work"

finish
