#!/usr/bin/env bash
# tolvane-cli driven as a user would: split, extract and info on real files,
# the exit codes, the messages on stderr and the volumes on disk.
set -uo pipefail

cli=${TOLVANE_CLI:?TOLVANE_CLI must name tolvane-cli}
# Set when cli runs tolvane-cli.exe under wine: what Windows has not (execute
# bits, symbolic links seen as such, terminals) is skipped.
on_windows=${TOLVANE_CLI_ON_WINDOWS:-}
work=$(mktemp -d "${TMPDIR:-/tmp}/tolvane-cli-test.XXXXXX")
trap 'rm -rf "$work"' EXIT
passed=0
failed=0

pass() { passed=$((passed + 1)); }
fail() {
    failed=$((failed + 1))
    echo "FAILED: $*" >&2
}
# check NAME COMMAND...: the command must succeed.
check() {
    local name=$1
    shift
    if "$@"; then pass; else fail "$name"; fi
}
# run EXPECTED_EXIT ARGS...: runs tolvane-cli with stdin not a terminal; its
# stdout, stderr and exit code land in $out, $err, $rc.
run() {
    local expected=$1
    shift
    "$cli" "$@" </dev/null >"$work/stdout" 2>"$work/stderr"
    rc=$?
    out=$(cat "$work/stdout")
    err=$(cat "$work/stderr")
    if [ "$rc" -ne "$expected" ]; then
        fail "tolvane-cli $* exited $rc, expected $expected; stderr: $err"
        return 1
    fi
    pass
}
contains() { [[ "$1" == *"$2"* ]]; }
mtime() { stat -c %Y "$1"; }
mtime_ms() { date -u -r "$1" +%s%3N; }
source "$(dirname "$0")/robot_image.sh"

src=$work/src
mkdir -p "$src"
head -c 3000000 /dev/urandom >"$src/groß.bin"
head -c 123457 /dev/urandom >"$src/Übersicht mit Leerzeichen.txt"
: >"$src/leer"
head -c 1441792 /dev/urandom >"$src/genau.bin"
touch -d '2001-02-03 04:05:06.789 UTC' "$src/groß.bin"
touch -d '1999-12-31 23:59:59 UTC' "$src/leer"

# --- usage ---
run 0 --help && check "help names split" contains "$out" "split [--size"
run 0 -h && check "-h is --help" contains "$out" "-V, --version"
for v in --version -V; do
    run 0 "$v" && check "$v prints the version" [ "$out" = "tolvane-cli $TOLVANE_VERSION" ]
done
run 2 && check "no command: usage line only" [ "$err" = "Aufruf: tolvane-cli BEFEHL [OPTIONEN]
mehr mit: tolvane-cli --help" ]
run 2 frobnicate && check "wrong command: problem and usage line" [ "$err" = "tolvane-cli: unbekannter Befehl: frobnicate
Aufruf: tolvane-cli BEFEHL [OPTIONEN]
mehr mit: tolvane-cli --help" ]
run 2 split "$src/leer"
run 2 split -o "$work/x.001"
run 2 split --size 66560 -o "$work/x.001" "$src/leer"
run 2 split --size 2M -o "$work/x.001" "$src/leer"
run 2 split -o "$work/archiv.zip" "$src/leer"
run 2 extract "$work/x.001"
run 2 extract -d "$work"
run 2 extract --bogus x -d y

# --- split and extract, plain ---
mkdir -p "$work/vol" "$work/back"
run 0 split --size 1.44M -o "$work/vol/package.001" "$src/leer" "$src/groß.bin" \
    "$src/Übersicht mit Leerzeichen.txt" "$src/genau.bin"
check "volumes listed on stdout" [ "$out" = "$work/vol/package.001
$work/vol/package.002
$work/vol/package.003
$work/vol/package.004" ]
check "no progress line without a terminal" [ -z "$err" ]
check "full volumes are 1.44 MB" [ "$(stat -c %s "$work/vol/package.002")" = 1441792 ]
run 0 info "$work/vol/package.003"
check "files in the order given" contains "$out" "1 leer 0
2 groß.bin 3.000.000
3 Übersicht mit Leerzeichen.txt 123.457
4 genau.bin 1.441.792"
check "info names the volume" contains "$out" "Archivnummer: 3"
run 0 extract "$work/vol/package.003" -d "$work/back"
for f in leer groß.bin "Übersicht mit Leerzeichen.txt" genau.bin; do
    check "restored $f" cmp -s "$src/$f" "$work/back/$f"
    check "time of $f" [ "$(mtime_ms "$src/$f")" = "$(mtime_ms "$work/back/$f")" ]
done
check "milliseconds kept" [ "$(mtime_ms "$work/back/groß.bin")" = 981173106789 ]
run 0 extract "$work/vol/package.001" -d "$work/new/deeper"
check "target folder created" cmp -s "$src/genau.bin" "$work/new/deeper/genau.bin"

# A file of the archive that the target holds already: refused by name,
# nothing written; --overwrite replaces it.
echo "geändert" >"$work/back/genau.bin"
rm "$work/back/leer"
run 1 extract "$work/vol/package.001" -d "$work/back"
check "existing files named" contains "$err" "Tolvane: „groß.bin“
„Übersicht mit Leerzeichen.txt“
„genau.bin“
sind im Zielverzeichnis schon vorhanden; mit --overwrite werden sie überschrieben."
check "changed file kept" [ "$(cat "$work/back/genau.bin")" = "geändert" ]
check "nothing written when refused" [ ! -e "$work/back/leer" ]
run 0 extract "$work/vol/package.001" -d "$work/back" --overwrite
check "replaced with --overwrite" cmp -s "$src/genau.bin" "$work/back/genau.bin"

# SIGINT during a split stops at the next chunk: the volume being written is
# deleted, the complete ones stay, the message counts them; exit 130.
mkdir -p "$work/int"
truncate -s 300M "$work/int.bin"
"$cli" split -o "$work/int/package.001" "$work/int.bin" </dev/null >/dev/null 2>"$work/int.err" &
pid=$!
for _ in $(seq 1 600); do [ -e "$work/int/package.003" ] && break; sleep 0.05; done
kill -INT "$pid"
wait "$pid"
check "SIGINT exit 130" [ "$?" -eq 130 ]
complete=0
for v in "$work"/int/package.*; do
    if [ "$(stat -c %s "$v")" -eq 1441792 ]; then complete=$((complete + 1)); else fail "partial $v"; fi
done
check "SIGINT message" contains "$(cat "$work/int.err")" "Tolvane: Das Erstellen des Archivs wurde abgebrochen.
Vollständig geschrieben sind $complete von 219 Datenträgern; der begonnene wurde gelöscht."
check "volumes in order" [ -e "$work/int/package.$(printf %03d "$complete")" ] 
check "none after the complete ones" [ ! -e "$work/int/package.$(printf %03d $((complete + 1)))" ]
rm -f "$work/int.bin"

# --- preset sizes and bytes ---
mkdir -p "$work/zip" "$work/sizes"
run 0 split --size zip100 -o "$work/zip/a.001" "$src/groß.bin"
check "zip100 is one volume here" [ "$out" = "$work/zip/a.001" ]
run 0 split --size 100000 -o "$work/sizes/p.001" "$src/Übersicht mit Leerzeichen.txt"
check "byte size gives two volumes" [ "$(stat -c %s "$work/sizes/p.001")" = 100000 ]

# --- self-extracting ---
mkdir -p "$work/sfx" "$work/sfxback" "$work/sfxback2"
robot_image "$work/Robot.dat" 50000
# The name given is the name written, or the call is refused before anything
# is touched.
echo "vorher" >"$work/sfx/package.001"
run 2 split --sfx --robot "$work/Robot.dat" -o "$work/sfx/package.001" "$src/groß.bin" "$src/leer"
check "sfx with .001 refused" contains "$err" "tolvane-cli: mit --sfx muss der Name des ersten Datenträgers auf .exe enden"
check "existing .001 kept" [ "$(cat "$work/sfx/package.001")" = "vorher" ]
check "no package.exe written" [ ! -e "$work/sfx/package.exe" ]
rm "$work/sfx/package.001"
run 2 split --robot "$work/Robot.dat" -o "$work/sfx/package.exe" "$src/leer"
check "plain with .exe refused" contains "$err" "tolvane-cli: ohne --sfx muss der Name des ersten Datenträgers auf .001 enden"
check "nothing written for .exe" [ ! -e "$work/sfx/package.exe" ]
run 0 split --sfx --robot "$work/Robot.dat" -o "$work/sfx/package.exe" "$src/groß.bin" "$src/leer"
check "first volume is package.exe" [ "$(echo "$out" | head -1)" = "$work/sfx/package.exe" ]
[ -n "$on_windows" ] || check "package.exe is executable" [ -x "$work/sfx/package.exe" ]
check "robot image in front" cmp -s -n 50000 "$work/Robot.dat" "$work/sfx/package.exe"
check "no package.001" [ ! -e "$work/sfx/package.001" ]
run 0 extract "$work/sfx/package.exe" -d "$work/sfxback"
check "self-extracting restored" cmp -s "$src/groß.bin" "$work/sfxback/groß.bin"
run 0 extract "$work/sfx/package.002" -d "$work/sfxback2"
check "restored from volume 2" cmp -s "$src/groß.bin" "$work/sfxback2/groß.bin"
robot_image "$work/Robot.dat" 70000
run 1 split --sfx --robot "$work/Robot.dat" -o "$work/sfx/zu-lang.exe" "$src/leer"
check "too long robot image" contains "$err" "QuellDateien::makeHeader (READ): Die Datei robot.dat ist beschädigt"
check "refused before writing" [ ! -e "$work/sfx/zu-lang.exe" ]
# A cut image (its first 100 bytes, inside its headers) and a foreign file are refused the same
# way, before anything is written.
robot_image "$work/Robot.dat" 50000
head -c 100 "$work/Robot.dat" >"$work/cut.dat"
cp "$src/groß.bin" "$work/foreign.dat"
truncate -s 40000 "$work/foreign.dat"
for image in cut foreign; do
    run 1 split --sfx --robot "$work/$image.dat" -o "$work/sfx/$image.exe" "$src/leer"
    check "$image robot image" contains "$err" "QuellDateien::makeHeader (READ): Die Datei robot.dat ist beschädigt"
    check "$image: nothing written" [ ! -e "$work/sfx/$image.exe" ]
done
run 1 split --sfx --robot "$work/fehlt.dat" -o "$work/sfx/ohne.exe" "$src/leer"
check "missing robot image" contains "$err" "Die Datei robot.dat wurde nicht gefunden"

# --- a volume of another set ---
# Two sets of one file each, same name, size and volume size, other bytes:
# volume 2 of the one in place of the other's is refused (no terminal, so
# the retry question is answered Cancel), never mixed in.
mkdir -p "$work/nacht1" "$work/nacht2" "$work/q1" "$work/q2" "$work/mix"
head -c 150000 /dev/urandom >"$work/q1/daten.bin"
head -c 150000 /dev/urandom >"$work/q2/daten.bin"
run 0 split --size 100000 -o "$work/nacht1/package.001" "$work/q1/daten.bin"
run 0 split --size 100000 -o "$work/nacht2/package.001" "$work/q2/daten.bin"
cp "$work/nacht2/package.002" "$work/nacht1/package.002"
run 1 extract "$work/nacht1/package.001" -d "$work/mix"
check "foreign volume: retry question" contains "$err" "Fehler bei Datenträger#: 2"
check "foreign volume: only our bytes" cmp -s -n "$(stat -c %s "$work/mix/daten.bin")" "$work/mix/daten.bin" "$work/q1/daten.bin"

# --- refusals and failures ---
mkdir -p "$work/other" "$work/dup"
cp "$src/leer" "$work/other/leer"
run 1 split -o "$work/dup/package.001" "$src/leer" "$work/other/leer"
check "duplicate names refused" contains "$err" "Tolvane: Zwei der gewählten Dateien heißen „leer“."
check "nothing written for duplicates" [ ! -e "$work/dup/package.001" ]
run 1 split -o "$work/dup/package.001" "$src/gibt-es-nicht"
check "missing source named" contains "$err" "gibt-es-nicht"
run 1 split -o "$work/gibt/es/nicht/package.001" "$src/leer"
check "missing target folder" contains "$err" "existiert nicht"
cp "$work/vol/package.002" "$work/vol2.copy"
run 1 split -o "$work/vol/package.001" "$work/vol/package.002"
check "a volume that is a source refused" contains "$err" "Der Datenträger „$work/vol/package.002“ würde"
check "the source untouched" cmp -s "$work/vol/package.002" "$work/vol2.copy"
check "nothing deleted" [ -e "$work/vol/package.001" ]
echo "nur Text" >"$work/text.txt"
run 1 extract "$work/text.txt" -d "$work/t"
check "text file refused" contains "$err" "QuellDateien::readHeader::IsPackage: Die von Ihnen ausgewählte Datei ist keine mit Tolvane erzeugte Datei."
mkdir -p "$work/gap" "$work/gapback"
cp "$work/vol/package.001" "$work/vol/package.003" "$work/vol/package.004" "$work/gap/"
run 1 extract "$work/gap/package.001" -d "$work/gapback"
check "missing volume: the prompt" contains "$err" "Bitte einlegen: Datenträger#  2"
check "missing volume named" contains "$err" "$work/gap/package.002"
cp "$work/vol/package.002" "$work/gap/"
truncate -s -1 "$work/gap/package.002"
run 1 extract "$work/gap/package.001" -d "$work/gapback" --overwrite
check "short middle volume" contains "$err" "CopyBack::FileSize: Ein an den Computer angeschlossenes Gerät funktioniert nicht!"
check "retry question answered Cancel" contains "$err" "Fehler bei Datenträger#: 2
Letztes Package/Diskette wiederholen"

# Under an archived name in the target: a symbolic link (dangling too) counts
# as existing and is replaced with --overwrite, never written through; a
# folder is refused before anything is written.
if [ -z "$on_windows" ]; then
    for link_to in "$work/precious" "$work/gone"; do
        rm -rf "$work/linked"
        mkdir -p "$work/linked"
        echo "bleibt" >"$work/precious"
        ln -s "$link_to" "$work/linked/leer"
        run 1 extract "$work/vol/package.001" -d "$work/linked"
        check "link to $link_to: existing name refused" contains "$err" "Tolvane: „leer“
sind im Zielverzeichnis schon vorhanden; mit --overwrite werden sie überschrieben."
        check "link to $link_to: nothing written" [ "$(ls "$work/linked")" = leer ]
        run 0 extract "$work/vol/package.001" -d "$work/linked" --overwrite
        check "link to $link_to: target untouched" [ "$(cat "$work/precious")" = "bleibt" ]
        check "link to $link_to: replaced by the file" [ -f "$work/linked/leer" -a ! -L "$work/linked/leer" ]
        check "link to $link_to: nothing made there" [ ! -e "$work/gone" ]
    done
    rm -rf "$work/linked"
    mkdir -p "$work/linked/leer"
    run 1 extract "$work/vol/package.001" -d "$work/linked" --overwrite
    check "folder at a name refused" contains "$err" "Im Zielverzeichnis liegt unter dem Namen „leer“ ein Verzeichnis oder eine Gerätedatei."
    check "folder at a name: nothing written" [ "$(ls "$work/linked")" = leer ]
fi

# A full medium: writes beyond the file size limit fail (SIGXFSZ ignored).
mkdir -p "$work/full"
(
    trap '' XFSZ
    ulimit -f 1000
    "$cli" split -o "$work/full/package.001" "$src/groß.bin" </dev/null >/dev/null 2>"$work/stderr"
)
rc=$?
err=$(cat "$work/stderr")
check "full medium fails" [ "$rc" = 1 ]
check "full medium reported" contains "$err" "QuellDateien::Copy::write: Beim Schreiben auf Medium ist ein Fehler aufgetreten!"

# --- progress on a terminal ---
if [ -z "$on_windows" ] && command -v script >/dev/null 2>&1; then
    mkdir -p "$work/tty"
    script -qec "\"$cli\" split -o \"$work/tty/package.001\" \"$src/groß.bin\" </dev/null" \
        "$work/typescript" >/dev/null 2>&1
    check "progress line on a terminal" grep -q "Gesamt .* %  Datenträger 1:" "$work/typescript"
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
