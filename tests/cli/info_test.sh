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

# A stored name with control characters is shown escaped: it cannot add a
# row or move the cursor. (The writer refuses such names; this header is
# made by hand: one file of 2 bytes, time record, closing 0, data.)
{
    printf 'PACK\0000001\0000001\0000001\0002\000100000\000'
    printf 'x\n2 fake.txt 1.000.000\033[2J\0002\000'
    printf '\xe4\x07\x05\x01\x01\x0a\x14\x1e\x00\x00\x00\000'
    printf 'ab'
} >"$work/steuer.001"
out=$("$cli" info "$work/steuer.001"); code=$?
check "control characters escaped" "Archivnummer: 1
Diskanzahl: 1
Dateianzahl: 1
Gesamtgröße: 2
Nr. Dateiname Dateigröße
1 x\x0a2 fake.txt 1.000.000\x1b[2J 2" "$out"
check "control characters exit" 0 "$code"
mkdir -p "$work/steuer"
err=$("$cli" extract "$work/steuer.001" -d "$work/steuer" 2>&1 >/dev/null); code=$?
check "control characters not extracted" "Tolvane: Der Dateiname „x\x0a2 fake.txt 1.000.000\x1b[2J“ im Archiv enthält Steuerzeichen.
Die Datei kann nicht entpackt werden; es wird nichts entpackt." "$err"
check "control characters extract exit" 1 "$code"
check "nothing extracted" "" "$(ls -A "$work/steuer")"

"$cli" info >/dev/null 2>&1; check "no volume is a usage error" 2 "$?"
"$cli" frobnicate >/dev/null 2>&1; check "unknown command" 2 "$?"
"$cli" --help | grep -q '^  info'; check "help lists info" 0 "$?"
"$cli" info --help >/dev/null; check "help after a command" 0 "$?"

finish
