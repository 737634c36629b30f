#!/usr/bin/env bash
# "tolvane-cli repair" as a user runs it: every volume of a plain and a
# self-extracting archive re-created from another volume and the originals,
# byte for byte; missing originals, a target that would overwrite the intact
# volume, a failing write answered Cancel, usage errors.
set -u
source "$(dirname "$0")/test_lib.sh"

mkdir -p "$work/src" "$work/plain" "$work/sfx"
head -c 0 /dev/urandom > "$work/src/leer.txt"
head -c 150000 /dev/urandom > "$work/src/groß.bin"
head -c 777 /dev/urandom > "$work/src/b.dat"
head -c 90000 /dev/urandom > "$work/src/c.dat"
robot_image "$work/robot.img" 4000
files=("$work/src/leer.txt" "$work/src/groß.bin" "$work/src/b.dat" "$work/src/c.dat")

"$cli" split --size 70000 -o "$work/plain/package.001" "${files[@]}" 2>/dev/null
check "plain split" 0 "$?"
"$cli" split --size 70000 --sfx --robot "$work/robot.img" -o "$work/sfx/package.exe" \
    "${files[@]}" 2>/dev/null
check "self-extracting split" 0 "$?"

# Every volume, from a different intact volume, with and without a trailing "/".
repair_all() {  # folder, first volume name, extra options...
    local folder=$1 first=$2
    shift 2
    local volumes=("$folder"/package.*)
    local count=${#volumes[@]} n intact name out sources
    for ((n = 1; n <= count; n++)); do
        intact=$(( n % count + 1 ))
        if [ "$intact" -eq 1 ]; then intact_name=$first; else intact_name=$(printf 'package.%03d' "$intact"); fi
        if [ "$n" -eq 1 ]; then name=$first; else name=$(printf 'package.%03d' "$n"); fi
        out="$work/out-$n"
        rm -rf "$out" && mkdir "$out"
        sources="$work/src"
        [ $((n % 2)) -eq 0 ] && sources="$work/src/"
        "$cli" repair "$folder/$intact_name" --number "$n" --sources "$sources" -o "$out" "$@" \
            >/dev/null
        check "repair $folder volume $n exit" 0 "$?"
        cmp -s "$folder/$name" "$out/$name"
        check "repair $folder volume $n bytes" 0 "$?"
    done
    check "$folder has several volumes" 1 "$([ "$count" -ge 3 ] && echo 1)"
}
repair_all "$work/plain" package.001
repair_all "$work/sfx" package.exe --robot "$work/robot.img"
# Windows has no execute bits (TOLVANE_CLI_ON_WINDOWS: tolvane-cli.exe under wine).
if [ -z "${TOLVANE_CLI_ON_WINDOWS:-}" ]; then
    [ -x "$work/out-1/package.exe" ]
    check "a repaired first self-extracting volume can be started" 0 "$?"
fi

# A missing original of the volume is named; one of another volume is not needed.
mkdir "$work/partial" && cp "$work/src/groß.bin" "$work/partial/"
err=$("$cli" repair "$work/plain/package.001" --number 2 --sources "$work/partial" \
      -o "$work/out-1" 2>&1 >/dev/null); code=$?
check "volume 2 needs only groß.bin" 0 "$code"
err=$("$cli" repair "$work/plain/package.001" --number 3 --sources "$work/partial" \
      -o "$work/out-1" 2>&1 >/dev/null); code=$?
check "missing original named" "Tolvane: Die benötigten Originaldateien sind im gewählten Verzeichnis nicht vorhanden.
Bitte wählen sie ein anderes Verzeichnis aus!
Die Originaldatei „b.dat“ fehlt im gewählten Verzeichnis." "$err"
check "missing original exit" 1 "$code"

# The intact volume is never the target.
before=$(md5sum < "$work/plain/package.002")
err=$("$cli" repair "$work/plain/package.002" --number 2 --sources "$work/src" \
      -o "$work/plain" 2>&1 >/dev/null); code=$?
check "intact volume refused exit" 1 "$code"
check "intact volume untouched" "$before" "$(md5sum < "$work/plain/package.002")"

# A volume that cannot be written: the error, then Cancel without a terminal.
mkdir -p "$work/blocked/package.002"
err=$("$cli" repair "$work/plain/package.001" --number 2 --sources "$work/src" \
      -o "$work/blocked" 2>&1 >/dev/null </dev/null); code=$?
check "write failure" "QuellDateien::CopyRep::makeHeader: Beim Schreiben auf Medium ist ein Fehler aufgetreten!
Tolvane: Fehler bei Datenträger#: 2
Letztes Package/Diskette wiederholen
Abbrechen (keine Eingabe vom Terminal möglich)" "$err"
check "write failure exit" 1 "$code"

err=$("$cli" repair "$work/plain/package.001" --number 99 --sources "$work/src" \
      -o "$work/out-1" 2>&1 >/dev/null); code=$?
count=$(ls "$work/plain"/package.* | wc -l)
check "no such volume" "Tolvane: Das Archiv hat $count Datenträger; einen Datenträger Nummer 99 gibt es nicht." "$err"
check "no such volume exit" 1 "$code"

err=$("$cli" repair "$work/plain/gone.001" --number 1 --sources "$work/src" \
      -o "$work/out-1" 2>&1 >/dev/null); code=$?
check "unreadable intact volume" "QuellDateien::readHeader::open: Eine benötigte Datei wurde nicht gefunden!" "$err"
check "unreadable intact volume exit" 1 "$code"

# The target's name comes from the intact volume's file name alone, under
# the folder given; a name of fewer than three characters gets the number
# as its extension.
mkdir -p "$work/short"
cp "$work/plain/package.002" "$work/short/a"
out=$("$cli" repair "$work/short/a" --number 1 --sources "$work/src" -o "$work/deep/out" 2>/dev/null)
check "short name repaired" 0 "$?"
# tolvane-cli.exe joins the folder given and the name with Windows' separator.
sep=/
[ -n "${TOLVANE_CLI_ON_WINDOWS:-}" ] && sep='\'
check "short name under the folder" "$work/deep/out${sep}a.001" "$out"
cmp -s "$work/deep/out/a.001" "$work/plain/package.001"
check "short name bytes" 0 "$?"
check "nothing beside the folder" "" "$(ls "$work/deep" | grep -v '^out$')"

# A set of no files: nothing to re-create, said so.
{
    printf 'PACK\0000001\0000001\0000000\0000\000100000\000\000'
} >"$work/leer.001"
err=$("$cli" repair "$work/leer.001" --number 1 --sources "$work/src" -o "$work/out-leer" 2>&1 >/dev/null)
code=$?
check "no files" "Tolvane: Das Archiv enthält keine Dateien; es gibt keinen Datenträger, der neu erstellt werden könnte." "$err"
check "no files exit" 1 "$code"

"$cli" repair "$work/plain/package.001" --sources "$work/src" -o "$work/out-1" >/dev/null 2>&1
check "number missing" 2 "$?"
"$cli" repair "$work/plain/package.001" --number zwei --sources "$work/src" -o "$work/out-1" \
    >/dev/null 2>&1
check "number not a number" 2 "$?"
"$cli" repair "$work/plain/package.001" --number 1 -o "$work/out-1" >/dev/null 2>&1
check "sources missing" 2 "$?"
"$cli" repair "$work/plain/package.001" --number 1 --sources "$work/src" >/dev/null 2>&1
check "target missing" 2 "$?"
"$cli" --help | grep -q '^  repair'
check "help lists repair" 0 "$?"

finish
