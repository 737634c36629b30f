#!/usr/bin/env bash
# "tolvane-cli info" as a user runs it: plain and self-extracting volumes, a
# file that is no volume, and usage errors.
set -u
source "$(dirname "$0")/test_lib.sh"

# The header of a one-volume archive holding a.txt (5 bytes), then its data.
header() {  # magic
    printf '%s\0000001\0000001\0000001\0005\0001441792\000a.txt\0005\000' "$1"
    printf '\316\007\003\005\006\017\014\005\000\000\000\000'
}
header PACK > "$work/package.001"
printf 'hello' >> "$work/package.001"
{ head -c 66560 /dev/zero; header PACE; printf 'hello'; } > "$work/PACKAGE.EXE"

expected='Archivnummer: 1
Diskanzahl: 1
Dateianzahl: 1
Gesamtgröße: 5
Nr. Dateiname Dateigröße
1 a.txt 5'
out=$("$cli" info "$work/package.001"); code=$?
check "plain volume" "$expected" "$out"
check "plain volume exit" 0 "$code"
out=$("$cli" info "$work/PACKAGE.EXE"); code=$?
check "self-extracting first volume" "$expected" "$out"
check "self-extracting exit" 0 "$code"

echo "Nur ein Text." > "$work/notes.txt"
err=$("$cli" info "$work/notes.txt" 2>&1 >/dev/null); code=$?
check "text file refused" "DiskInfoReadHeader::IsPackage: Die von Ihnen ausgewählte Datei ist keine mit Tolvane erzeugte Datei.
Bitte wählen sie eine andere Datei aus!" "$err"
check "text file exit" 1 "$code"

err=$("$cli" info "$work/missing.001" 2>&1 >/dev/null); code=$?
check "missing file" "DiskInfoReadHeader::open: Eine benötigte Datei wurde nicht gefunden!" "$err"
check "missing file exit" 1 "$code"

"$cli" info >/dev/null 2>&1; check "no volume is a usage error" 2 "$?"
"$cli" frobnicate >/dev/null 2>&1; check "unknown command" 2 "$?"
"$cli" --help | grep -q '^  info'; check "help lists info" 0 "$?"
"$cli" info --help >/dev/null; check "help after a command" 0 "$?"

finish
