#!/usr/bin/env bash
# Recovery data as a user and a recipient meet it: split --recovery N, verify
# and rebuild after whole volumes were lost, single bytes changed or volumes
# cut short; par2cmdline verifying and repairing Tolvane's files, and
# Tolvane rebuilding from files par2cmdline made; plain and self-extracting
# sets; one volume too many refused with nothing written.
set -u
source "$(dirname "$0")/test_lib.sh"

if ! command -v par2 >/dev/null; then
    echo "par2 (par2cmdline) is needed: scripts/install-deps.sh installs it" >&2
    exit 1
fi

mkdir -p "$work/src"
head -c 150000 /dev/urandom > "$work/src/groß.bin"
head -c 0 /dev/urandom > "$work/src/leer"
head -c 777 /dev/urandom > "$work/src/b.dat"
head -c 190000 /dev/urandom > "$work/src/c.dat"
robot_image "$work/robot.img" 4000
files=("$work/src/groß.bin" "$work/src/leer" "$work/src/b.dat" "$work/src/c.dat")

# make FOLDER FIRST N [options]: a set of 5 volumes of 70000 bytes with
# recovery data for N volumes; keeps a copy of every volume in FOLDER.orig.
make_set() {
    local folder=$1 first=$2 n=$3
    shift 3
    rm -rf "$folder" "$folder.orig" && mkdir -p "$folder"
    "$cli" split --size 70000 --recovery "$n" "$@" -o "$folder/$first" "${files[@]}" \
        > "$work/split.out" 2>&1
    check "split --recovery $n into $folder" 0 "$?"
    cp -r "$folder" "$folder.orig"
}
# The volume of number n in a set whose first volume is first.
volume() { if [ "$2" -eq 1 ]; then echo "$1"; else printf 'package.%03d' "$2"; fi; }
damage() {  # file, offset: one byte changed
    local byte
    byte=$(od -An -tu1 -j "$2" -N1 "$1" | tr -d ' ')
    printf "\\$(printf '%03o' $(( (byte + 1) % 256 )))" |
        dd of="$1" bs=1 seek="$2" conv=notrunc status=none
}
same_as_original() {  # folder, what
    local f ok=0
    for f in "$1.orig"/package.0* "$1.orig"/package.exe; do
        [ -e "$f" ] || continue
        cmp -s "$f" "$1/$(basename "$f")" || ok=1
    done
    check "$2: every volume as it was" 0 "$ok"
}
extracts() {  # folder first what
    rm -rf "$work/out"
    if [ "$2" = package.exe ]; then return; fi
    "$cli" extract "$1/$2" -d "$work/out" >/dev/null 2>&1
    local ok=$? f
    for f in "${files[@]}"; do cmp -s "$f" "$work/out/$(basename "$f")" || ok=1; done
    check "$3: extract restores every file" 0 "$ok"
}

# --- the split says what it wrote and what it costs ---
make_set "$work/p" package.001 2
check "split lists volumes and recovery files" "$work/p/package.001
$work/p/package.002
$work/p/package.003
$work/p/package.004
$work/p/package.005
$work/p/package.par2
$work/p/package.vol0+1.par2
$work/p/package.vol1+1.par2" "$(head -8 "$work/split.out")"
check "split says the overhead" "Wiederherstellungsdaten: 144.300 Bytes in 3 Dateien (42,3 % des Archivs); bis zu 2 fehlende oder beschädigte Datenträger lassen sich damit wiederherstellen." "$(tail -1 "$work/split.out")"

out=$("$cli" verify "$work/p/package.003"); code=$?
check "verify of an intact set" "package.001: in Ordnung
package.002: in Ordnung
package.003: in Ordnung
package.004: in Ordnung
package.005: in Ordnung
Wiederherstellungsdaten: 2 Blöcke zu je 70.000 Bytes lesbar.
Alle 5 Datenträger sind in Ordnung." "$out"
check "verify of an intact set exit" 0 "$code"

# --- up to N bad volumes: named exactly, rebuilt byte for byte ---
for first in package.001 package.exe; do
    opts=()
    [ "$first" = package.exe ] && opts=(--sfx --robot "$work/robot.img")
    for bad in "delete 2, damage 4" "damage 1, cut 5" "cut 3, delete 5"; do
        make_set "$work/s" "$first" 2 "${opts[@]}"
        expected=()
        for n in 1 2 3 4 5; do expected[n]="in Ordnung"; done
        read -r a1 n1 a2 n2 <<< "${bad//,/}"
        for pair in "$a1 $n1" "$a2 $n2"; do
            read -r action n <<< "$pair"
            f="$work/s/$(volume "$first" "$n")"
            case $action in
                delete) rm "$f"; expected[n]="fehlt" ;;
                damage) damage "$f" 33333; expected[n]="beschädigt" ;;
                cut) truncate -s 50000 "$f"; expected[n]="beschädigt" ;;
            esac
        done
        want=""
        for n in 1 2 3 4 5; do want+="$(volume "$first" "$n"): ${expected[n]}"$'\n'; done
        out=$("$cli" verify "$work/s/package.002" 2>&1); code=$?
        check "$first $bad: verify names the bad volumes" "${want%$'\n'}" "$(head -5 <<< "$out")"
        check "$first $bad: verify says it can be rebuilt" \
            "Der Satz kann wiederhergestellt werden: benötigt werden 2 Blöcke, vorhanden sind 2 (tolvane-cli rebuild)." \
            "$(tail -1 <<< "$out")"
        check "$first $bad: verify exit" 1 "$code"
        "$cli" rebuild "$work/s/package.002" > "$work/rebuild.out" 2>&1
        check "$first $bad: rebuild exit" 0 "$?"
        count=$(ls "$work/s.orig" | grep -c -v par2)
        check "$first $bad: rebuild verifies" "Alle $count Datenträger sind in Ordnung." \
            "$(tail -1 "$work/rebuild.out")"
        same_as_original "$work/s" "$first $bad: rebuild"
        extracts "$work/s" "$first" "$first $bad"
        ls "$work/s" | grep -q tolvane-neu
        check "$first $bad: no temporary file left" 1 "$?"

        # par2cmdline repairs the same damage from Tolvane's files.
        rm -rf "$work/s" && cp -r "$work/s.orig" "$work/s"
        for pair in "$a1 $n1" "$a2 $n2"; do
            read -r action n <<< "$pair"
            f="$work/s/$(volume "$first" "$n")"
            case $action in
                delete) rm "$f" ;;
                damage) damage "$f" 33333 ;;
                cut) truncate -s 50000 "$f" ;;
            esac
        done
        (cd "$work/s" && par2 repair -q package.par2 >/dev/null 2>&1)
        check "$first $bad: par2 repair exit" 0 "$?"
        rm -f "$work/s"/*.1
        same_as_original "$work/s" "$first $bad: par2 repair"
    done
done

# --- one more than N: refused, nothing written ---
make_set "$work/t" package.001 1
rm "$work/t/package.002"
damage "$work/t/package.004" 100
before=$(ls -l --time-style=+%s.%N "$work/t"; md5sum "$work/t"/*)
out=$("$cli" rebuild "$work/t/package.001" 2>&1); code=$?
check "N+1 refused" "package.002: fehlt
package.004: beschädigt
Tolvane: Zu wenig Wiederherstellungsdaten: benötigt werden 2 Blöcke, vorhanden sind 1.
Es fehlen noch 1 Block (Wiederherstellungsdaten für 1 weiteren Datenträger). Es wurde nichts geschrieben." "$out"
check "N+1 refused exit" 1 "$code"
check "N+1: nothing written" "$before" "$(ls -l --time-style=+%s.%N "$work/t"; md5sum "$work/t"/*)"

# --- rebuild -o: the new volumes elsewhere, the set untouched ---
rm -rf "$work/t" && cp -r "$work/t.orig" "$work/t"
rm "$work/t/package.005"
out=$("$cli" rebuild "$work/t/package.001" -o "$work/neu" 2>&1); code=$?
check "rebuild -o" "wiederhergestellt: $work/neu/package.005
Die wiederhergestellten Datenträger sind in Ordnung." "$out"
check "rebuild -o exit" 0 "$code"
cmp -s "$work/neu/package.005" "$work/t.orig/package.005"
check "rebuild -o bytes" 0 "$?"
check "rebuild -o leaves the set" "" "$(ls "$work/t" | grep 005)"

# --- par2 create over a Tolvane set; Tolvane verifies and rebuilds ---
rm -rf "$work/c" && mkdir "$work/c"
"$cli" split --size 70000 -o "$work/c/package.001" "${files[@]}" >/dev/null 2>&1
(cd "$work/c" && par2 create -q -q -r45 -n1 package.par2 package.0* >/dev/null 2>&1)
check "par2 create" 0 "$?"
cp -r "$work/c" "$work/c.orig"
rm "$work/c/package.001"
damage "$work/c/package.003" 12345
truncate -s 69000 "$work/c/package.004"
out=$("$cli" verify "$work/c/package.002" 2>&1); code=$?
check "verify with par2cmdline's files" "package.001: fehlt
package.002: in Ordnung
package.003: beschädigt
package.004: beschädigt
package.005: in Ordnung" "$(head -5 <<< "$out")"
check "verify with par2cmdline's files exit" 1 "$code"
"$cli" rebuild "$work/c/package.002" >/dev/null 2>&1
check "rebuild from par2cmdline's files" 0 "$?"
same_as_original "$work/c" "rebuild from par2cmdline's files"
extracts "$work/c" package.001 "rebuild from par2cmdline's files"

# --- pieces no larger than a volume ---
make_set "$work/r" package.001 2 --recovery-pieces
big=$(find "$work/r" -name '*.par2' -size +70000c | wc -l)
check "no recovery piece larger than a volume" 0 "$big"
rm "$work/r/package.001" "$work/r/package.004"
(cd "$work/r" && par2 repair -q package.par2 >/dev/null 2>&1)
check "par2 repair from pieces" 0 "$?"
rm -f "$work/r"/*.1
same_as_original "$work/r" "par2 repair from pieces"

# --- without recovery data ---
rm -rf "$work/n" && mkdir "$work/n"
"$cli" split --size 70000 -o "$work/n/package.001" "${files[@]}" >/dev/null 2>&1
truncate -s 60000 "$work/n/package.003"
out=$("$cli" verify "$work/n/package.001" 2>&1); code=$?
check "verify without recovery data" "package.001: in Ordnung
package.002: in Ordnung
package.003: beschädigt
package.004: in Ordnung
package.005: in Ordnung
Keine Wiederherstellungsdaten (PAR2) gefunden: Beschädigungen im Inneren eines Datenträgers können nicht erkannt werden.
Der Satz kann nicht wiederhergestellt werden." "$out"
check "verify without recovery data exit" 1 "$code"

# --- a volume of another set in place ---
make_set "$work/f" package.001 1
rm -rf "$work/g" && mkdir "$work/g"
"$cli" split --size 80000 -o "$work/g/package.001" "${files[@]}" >/dev/null 2>&1
cp "$work/g/package.002" "$work/f/package.002"
out=$("$cli" verify "$work/f/package.001" 2>&1)
check "a volume of another set" "package.002: gehört zu einem anderen Archiv" "$(sed -n 2p <<< "$out")"
"$cli" rebuild "$work/f/package.001" >/dev/null 2>&1
check "rebuild in place of a volume of another set" 0 "$?"
same_as_original "$work/f" "rebuild in place of a volume of another set"
cmp -s "$work/g/package.002" "$work/f/package.002.fremd"
check "the other set's volume is kept" 0 "$?"

# --- every volume lost: the recovery data alone names and rebuilds them ---
rm -rf "$work/all" && mkdir "$work/all"
"$cli" split --size 100000 --recovery 2 -o "$work/all/package.001" "$work/src/c.dat" >/dev/null 2>&1
cp "$work/all"/package.00? "$work/"
rm "$work/all"/package.00?
out=$("$cli" rebuild "$work/all/package.001" 2>&1)
check "all volumes lost: rebuild" "Alle 2 Datenträger sind in Ordnung." "$(tail -1 <<< "$out")"
cmp -s "$work/package.001" "$work/all/package.001" && cmp -s "$work/package.002" "$work/all/package.002"
check "all volumes lost: bytes" 0 "$?"

# --- a set of one short volume: recovery data of its size, not a volume's ---
rm -rf "$work/one" && mkdir "$work/one"
"$cli" split --recovery 1 -o "$work/one/package.001" "$work/src/b.dat" >/dev/null 2>&1
check "one short volume: small recovery file" 1 "$([ "$(stat -c %s "$work/one/package.vol0+1.par2")" -lt 3000 ] && echo 1)"
out=$("$cli" verify "$work/one/package.001" 2>&1)
check "one short volume: verify" "Der Datenträger ist in Ordnung." "$(tail -1 <<< "$out")"

# --- recovery data of an older set under the name: refused, or removed with --overwrite ---
for order in "3 1" "2 0"; do
    read -r older newer <<< "$order"
    make_set "$work/o" package.001 "$older"
    rec=(); [ "$newer" -gt 0 ] && rec=(--recovery "$newer")
    before=$(ls -l --time-style=+%s.%N "$work/o"; md5sum "$work/o"/*)
    err=$("$cli" split --size 70000 "${rec[@]}" -o "$work/o/package.001" "$work/src/c.dat" \
        "${files[@]:0:3}" 2>&1 >/dev/null); code=$?
    check "recovery $older then $newer without --overwrite: exit" 1 "$code"
    check "recovery $older then $newer without --overwrite: says why" 1 \
        "$(grep -c 'Mit --overwrite werden sie entfernt' <<< "$err")"
    check "recovery $older then $newer without --overwrite: nothing written" "$before" \
        "$(ls -l --time-style=+%s.%N "$work/o"; md5sum "$work/o"/*)"
    "$cli" split --size 70000 "${rec[@]}" --overwrite -o "$work/o/package.001" "$work/src/c.dat" \
        "${files[@]:0:3}" >/dev/null 2>&1
    check "recovery $older then $newer with --overwrite: exit" 0 "$?"
    want=""; [ "$newer" -gt 0 ] && want="package.par2
package.vol0+1.par2"
    check "recovery $older then $newer: only the new recovery files" "$want" \
        "$(ls "$work/o" | grep par2)"
    "$cli" verify "$work/o/package.001" >/dev/null 2>&1
    check "recovery $older then $newer: verify" 0 "$?"
    if [ "$newer" -gt 0 ]; then
        (cd "$work/o" && par2 verify -q package.par2 >/dev/null 2>&1)
        check "recovery $older then $newer: par2 verify" 0 "$?"
    fi
done

# --- a .par2 that lists a user's file: reported, never written ---
rm -rf "$work/u" && mkdir "$work/u"
"$cli" split --size 70000 -o "$work/u/package.001" "${files[@]}" >/dev/null 2>&1
echo "Notizen" > "$work/u/notes.txt"
(cd "$work/u" && par2 create -q -q -r60 -n1 package.par2 package.0* notes.txt >/dev/null 2>&1)
check "par2 create over volumes and notes.txt" 0 "$?"
cp "$work/u/package.002" "$work/u.002"
echo "Notizen, später geändert" > "$work/u/notes.txt"
rm "$work/u/package.002"
out=$("$cli" verify "$work/u/package.001" 2>&1)
check "verify names the listed file" 1 \
    "$(grep -c '^notes.txt: kein Datenträger dieses Archivs; wird nicht wiederhergestellt$' <<< "$out")"
out=$("$cli" rebuild "$work/u/package.001" 2>&1)
check "rebuild beside a listed user file: exit" 0 "$?"
check "rebuild writes only the volume" "wiederhergestellt: $work/u/package.002" \
    "$(grep wiederhergestellt: <<< "$out")"
check "the user's file is left as it is" "Notizen, später geändert" "$(cat "$work/u/notes.txt")"
cmp -s "$work/u.002" "$work/u/package.002"
check "the volume is rebuilt" 0 "$?"

# --- names from a .par2 reach the terminal escaped ---
rm -rf "$work/e" && mkdir "$work/e"
"$cli" split --size 70000 -o "$work/e/package.001" "${files[@]}" >/dev/null 2>&1
printf 'x' > "$work/e/"$'x\033[2J\ay'
(cd "$work/e" && par2 create -q -q -r20 -n1 package.par2 package.0* $'x\033[2J\ay' >/dev/null 2>&1)
out=$("$cli" verify "$work/e/package.001" 2>&1)
check "no raw escape sequence in verify's output" 0 "$(grep -c $'[\033\a]' <<< "$out")"
check "the name shown escaped" 1 "$(grep -cF 'x\x1B[2J\x07y: kein Datenträger' <<< "$out")"

# --- usage ---
"$cli" verify >/dev/null 2>&1
check "verify without a volume" 2 "$?"
"$cli" rebuild "$work/f/package.001" -o >/dev/null 2>&1
check "rebuild -o without a folder" 2 "$?"
"$cli" split --size 70000 --recovery 0 -o "$work/x.001" "${files[@]}" >/dev/null 2>&1
check "--recovery 0" 2 "$?"
err=$("$cli" split --size 70000 --recovery 6 -o "$work/package.001" "${files[@]}" 2>&1 >/dev/null)
check "--recovery more than the set" "Tolvane: Das Archiv hat 5 Datenträger; Wiederherstellungsdaten für 6 Datenträger wären mehr als das Archiv selbst." "$err"

finish
