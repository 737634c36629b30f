#!/usr/bin/env bash
# tolvane-cli driven as a user would: split, extract and info on real files,
# the exit codes, the messages on stderr and the volumes on disk.
set -uo pipefail

cli=${TOLVANE_CLI:?TOLVANE_CLI must name tolvane-cli}
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

# --- preset sizes and bytes ---
mkdir -p "$work/zip" "$work/sizes"
run 0 split --size zip100 -o "$work/zip/a.001" "$src/groß.bin"
check "zip100 is one volume here" [ "$out" = "$work/zip/a.001" ]
run 0 split --size 100000 -o "$work/sizes/p.001" "$src/Übersicht mit Leerzeichen.txt"
check "byte size gives two volumes" [ "$(stat -c %s "$work/sizes/p.001")" = 100000 ]

# --- self-extracting ---
mkdir -p "$work/sfx" "$work/sfxback" "$work/sfxback2"
head -c 50000 /dev/urandom >"$work/Robot.dat"
run 0 split --sfx --robot "$work/Robot.dat" -o "$work/sfx/package.001" "$src/groß.bin" "$src/leer"
check "first volume is package.exe" [ "$(echo "$out" | head -1)" = "$work/sfx/package.exe" ]
check "package.exe is executable" [ -x "$work/sfx/package.exe" ]
check "robot image in front" cmp -s -n 50000 "$work/Robot.dat" "$work/sfx/package.exe"
check "no package.001" [ ! -e "$work/sfx/package.001" ]
run 0 extract "$work/sfx/package.exe" -d "$work/sfxback"
check "self-extracting restored" cmp -s "$src/groß.bin" "$work/sfxback/groß.bin"
run 0 extract "$work/sfx/package.002" -d "$work/sfxback2"
check "restored from volume 2" cmp -s "$src/groß.bin" "$work/sfxback2/groß.bin"
head -c 70000 /dev/urandom >"$work/Robot.dat"
run 1 split --sfx --robot "$work/Robot.dat" -o "$work/sfx/zu-lang.exe" "$src/leer"
check "too long robot image" contains "$err" "QuellDateien::makeHeader (READ): Die Datei robot.dat ist beschädigt"
check "retry answered Cancel" contains "$err" "Fehler bei Datenträger#: 1"
run 1 split --sfx --robot "$work/fehlt.dat" -o "$work/sfx/ohne.exe" "$src/leer"
check "missing robot image" contains "$err" "Die Datei robot.dat wurde nicht gefunden"

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
run 1 extract "$work/gap/package.001" -d "$work/gapback"
check "short middle volume" contains "$err" "CopyBack::FileSize: Ein an den Computer angeschlossenes Gerät funktioniert nicht!"
check "retry question answered Cancel" contains "$err" "Fehler bei Datenträger#: 2
Letztes Package/Diskette wiederholen"

# A symbolic link in the target under an archived name is not written through.
mkdir -p "$work/linked"
echo "bleibt" >"$work/precious"
ln -s "$work/precious" "$work/linked/leer"
run 1 extract "$work/vol/package.001" -d "$work/linked"
check "link target untouched" [ "$(cat "$work/precious")" = "bleibt" ]
check "link reported" contains "$err" "QuellDateien::CopyBack::open"

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
if command -v script >/dev/null 2>&1; then
    mkdir -p "$work/tty"
    script -qec "\"$cli\" split -o \"$work/tty/package.001\" \"$src/groß.bin\" </dev/null" \
        "$work/typescript" >/dev/null 2>&1
    check "progress line on a terminal" grep -q "Gesamt .* %  Datenträger 1:" "$work/typescript"
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
