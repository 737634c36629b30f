#!/usr/bin/env bash
# "tolvane-cli continue" as a user runs it: for every start volume N of a
# plain and a self-extracting archive, a target folder as an interrupted
# extraction left it (the files before volume N complete, the file N cuts
# begun) is completed; every file then equals its original, time included.
set -u
source "$(dirname "$0")/test_lib.sh"

mkdir -p "$work/src" "$work/plain" "$work/sfx"
names=(erste.bin leer.txt zwei.dat drei.dat vier.dat)
sizes=(70000 0 300 150000 2500)
for i in "${!names[@]}"; do
    head -c "${sizes[$i]}" /dev/urandom > "$work/src/${names[$i]}"
    touch -d "2019-0$((i + 1))-1$i 12:34:56" "$work/src/${names[$i]}"
done
files=()
for n in "${names[@]}"; do files+=("$work/src/$n"); done
total=0
for s in "${sizes[@]}"; do total=$((total + s)); done
robot_image "$work/robot.img" 3000

"$cli" split --size 70000 -o "$work/plain/package.001" "${files[@]}" 2>/dev/null
check "plain split" 0 "$?"
"$cli" split --size 68000 --sfx --robot "$work/robot.img" -o "$work/sfx/package.exe" \
    "${files[@]}" 2>/dev/null
check "self-extracting split" 0 "$?"

# The target folder an extraction leaves when it stopped after volume N - 1:
# every file wholly in the stream before skip, and the first bytes of the file
# that skip cuts.
interrupted() {  # folder, skip
    local folder=$1 skip=$2 covered=0 i
    rm -rf "$folder" && mkdir "$folder"
    for i in "${!names[@]}"; do
        if [ $((covered + sizes[i])) -le "$skip" ]; then
            cp -p "$work/src/${names[$i]}" "$folder/"
        elif [ "$covered" -lt "$skip" ]; then
            head -c $((skip - covered)) "$work/src/${names[$i]}" > "$folder/${names[$i]}"
        fi
        covered=$((covered + sizes[i]))
    done
}

same_as_originals() {  # folder -> "ok" or what differs
    local folder=$1 n result=ok
    for n in "${names[@]}"; do
        cmp -s "$work/src/$n" "$folder/$n" || result="$result, $n differs"
        [ "$(stat -c %Y "$work/src/$n")" == "$(stat -c %Y "$folder/$n" 2>/dev/null)" ] ||
            result="$result, $n has another time"
    done
    echo "$result"
}

# The geometry of an archive, from its volume files: count, header size and
# the capacity behind the header (the first volume holds the stub area too).
geometry() {  # folder, first volume name, stub area -> count capacity
    local folder=$1 first=$2 stub=$3 bytes=0 v
    local volumes=("$folder"/package.*)
    for v in "${volumes[@]}"; do bytes=$((bytes + $(stat -c %s "$v"))); done
    local header=$(( (bytes - total - stub) / ${#volumes[@]} ))
    echo "${#volumes[@]} $(( $(stat -c %s "$folder/$first") - header ))"
}

skip_of() {  # capacity, stub area, n
    local skip=$(( $1 * ($3 - 1) ))
    [ "$3" -gt 1 ] && skip=$((skip - $2))
    echo "$skip"
}

continue_every() {  # archive folder, first volume name, stub area
    local folder=$1 first=$2 stub=$3 count capacity n target
    read -r count capacity < <(geometry "$folder" "$first" "$stub")
    for ((n = 1; n <= count; n++)); do
        target="$work/t-$n"
        interrupted "$target" "$(skip_of "$capacity" "$stub" "$n")"
        "$cli" continue "$folder/$first" -d "$target" --from "$n"
        check "continue $folder from $n exit" 0 "$?"
        check "continue $folder from $n files" ok "$(same_as_originals "$target")"
        rm -rf "$target"
    done
    check "$folder has several volumes" 1 "$([ "$count" -ge 4 ] && echo 1)"
}
continue_every "$work/plain" package.001 0
continue_every "$work/sfx" package.exe 66560

# Files before the start volume are taken as done and not touched.
read -r count capacity < <(geometry "$work/plain" package.001 0)
interrupted "$work/kept" "$(skip_of "$capacity" 0 3)"
printf 'von Hand' > "$work/kept/erste.bin"
"$cli" continue "$work/plain/package.003" -d "$work/kept" --from 3 2>/dev/null
check "continue from any volume of the set" 0 "$?"
check "files before the start are left alone" "von Hand" "$(cat "$work/kept/erste.bin")"
cmp -s "$work/src/vier.dat" "$work/kept/vier.dat"
check "later files restored" 0 "$?"

# A begun file that cannot be the earlier run's: refused, nothing written.
interrupted "$work/short" "$(skip_of "$capacity" 0 3)"
head -c 10 "$work/src/drei.dat" > "$work/short/drei.dat"
err=$("$cli" continue "$work/plain/package.001" -d "$work/short" --from 3 2>&1 >/dev/null)
check "begun file too short exit" 1 "$?"
check "begun file too short" 'Tolvane: Die begonnene Datei „drei.dat“ im Zielverzeichnis passt nicht zum gewählten Datenträger.
Bitte beginnen Sie bei einem früheren Datenträger!' "$err"
check "nothing restored" 10 "$(stat -c %s "$work/short/drei.dat")"

# The begun file is missing: the extractor's open error, Cancel without a terminal.
interrupted "$work/gone" "$(skip_of "$capacity" 0 3)"
rm "$work/gone/drei.dat"
err=$("$cli" continue "$work/plain/package.001" -d "$work/gone" --from 3 2>&1 >/dev/null </dev/null)
check "begun file missing exit" 1 "$?"
check "begun file missing" "QuellDateien::CopyBack::open: Beim Schreiben auf Medium ist ein Fehler aufgetreten!
Tolvane: Fehler bei Datenträger#: 3
Letztes Package/Diskette wiederholen
Abbrechen (keine Eingabe vom Terminal möglich)" "$err"

err=$("$cli" continue "$work/plain/package.001" -d "$work/gone" --from 0 2>&1 >/dev/null)
check "volume 0 exit" 1 "$?"
"$cli" continue "$work/plain/package.001" -d "$work/gone" >/dev/null 2>&1
check "start volume missing" 2 "$?"
"$cli" continue "$work/plain/package.001" --from 2 >/dev/null 2>&1
check "target missing" 2 "$?"
"$cli" continue "$work/plain/package.001" -d "$work/gone" --from x >/dev/null 2>&1
check "start volume not a number" 2 "$?"
"$cli" --help | grep -q '^  continue'
check "help lists continue" 0 "$?"

finish
