#!/usr/bin/env bash
# Stored names and targets the Windows programs must not trust, under wine:
# names Windows takes for one file (told by the names themselves, or found
# only when the second file is to be created), a target file with a second
# name elsewhere (a hard link), names Windows reserves.
set -uo pipefail
. "$(dirname "$0")/wine_lib.sh"
cd "$work"

# A set storing Case.txt and case.txt: the Linux writer refuses such a set,
# so it is made with another name of the same length put in place after.
mkdir -p fold/src fold/plain fold/sfx
printf 'groß\n' >fold/src/Case.txt
printf 'klein\n' >fold/src/casX.txt
head -c 3000 /dev/urandom >fold/src/mitte.bin
(cd fold/src && "$linux_cli" split -o ../plain/package.001 Case.txt mitte.bin casX.txt >/dev/null &&
    "$linux_cli" split --sfx -o ../sfx/package.exe Case.txt mitte.bin casX.txt >/dev/null)
for volume in fold/plain/package.001 fold/sfx/package.exe; do
    perl -0777 -pi -e 's/casX\.txt/case.txt/g' "$volume"
done
check "the set lists both names" yes \
    "$("$linux_cli" info fold/plain/package.001 | grep -q 'case.txt' && echo yes)"
refusal='Die Dateien „Case.txt“ und „case.txt“ des Archivs ergeben im Zielverzeichnis dieselbe Datei, weil es Groß- und Kleinschreibung nicht unterscheidet.
Die eine würde die andere überschreiben; das Entpacken wird abgebrochen.'
win "$win_cli" extract 'fold\plain\package.001' -d 'fold\ziel-cli' >/dev/null 2>err
check "Case.txt/case.txt: tolvane-cli.exe exit code and message" "1 Tolvane: $refusal" "$? $(cat err)"
check "Case.txt/case.txt: nothing written by tolvane-cli.exe" "" "$(ls fold/ziel-cli 2>/dev/null)"
(cd fold/sfx && win ./package.exe --target ziel >"$work/out" 2>"$work/err")
check "Case.txt/case.txt: the stub's exit code and message" "1 Tolvane Robot: $refusal" "$? $(cat err)"
check "Case.txt/case.txt: the stub reports no success" no "$(grep -q erfolgreich out && echo yes || echo no)"
check "Case.txt/case.txt: nothing written by the stub" "" "$(ls fold/sfx/ziel 2>/dev/null)"

# Names Windows folds that the up-front check does not know (Armenian): the
# first file is restored, the second found taken before its first byte.
mkdir -p arm/src arm/set
printf 'Groß-Ayb\n' >"arm/src/Ա.txt"
printf 'klein\n' >"arm/src/ա.txt"
(cd arm/src && "$linux_cli" split -o ../set/package.001 "Ա.txt" "ա.txt" >/dev/null)
win "$win_cli" extract 'arm\set\package.001' -d 'arm\ziel' >out 2>err
check "Ա.txt/ա.txt: exit code and message" "1 Tolvane: Die Dateien „Ա.txt“ und „ա.txt“ des Archivs ergeben im Zielverzeichnis dieselbe Datei, weil es Groß- und Kleinschreibung nicht unterscheidet.
Die eine würde die andere überschreiben; das Entpacken wird abgebrochen." "$? $(cat err)"
check "Ա.txt/ա.txt: the first keeps its bytes" same "$(cmp -s "arm/src/Ա.txt" "arm/ziel/Ա.txt" && echo same)"
check "Ա.txt/ա.txt: nothing else written" "Ա.txt" "$(ls arm/ziel)"

# A target file with a second name outside the target is replaced, never
# written in place; the same for a volume the split writes.
make_sources src
mkdir -p set
(cd src && "$linux_cli" split --size 100000 -o ../set/package.001 "${source_names[@]}" >/dev/null)
mkdir -p linked/ziel linked/draussen
printf 'bleibt\n' >linked/draussen/eins.bin
ln linked/draussen/eins.bin linked/ziel/eins.bin
win "$win_cli" extract 'set\package.001' -d 'linked\ziel' --overwrite >/dev/null 2>err
check "hard link: exit code" "0 " "$? $(cat err)"
check "hard link: the other name keeps its bytes" bleibt "$(cat linked/draussen/eins.bin)"
check "hard link: the target holds the restored file" same "$(same_file src/eins.bin linked/ziel/eins.bin)"
check "hard link: two files now" "1 1" "$(stat -c %h linked/draussen/eins.bin linked/ziel/eins.bin | tr '\n' ' ' | sed 's/ $//')"
mkdir -p linked/vol linked/linux
printf 'bleibt\n' >linked/draussen/package.002
ln linked/draussen/package.002 linked/vol/package.002
win "$win_cli" split --size 100000 -o 'linked\vol\package.001' 'src\eins.bin' >/dev/null 2>err
check "hard-linked volume: exit code" "0 " "$? $(cat err)"
check "hard-linked volume: the other name keeps its bytes" bleibt "$(cat linked/draussen/package.002)"
(cd src && "$linux_cli" split --size 100000 -o ../linked/linux/package.001 eins.bin >/dev/null)
check "hard-linked volume: written as on Linux" same \
    "$(cmp -s linked/linux/package.002 linked/vol/package.002 && echo same)"

# A link of the host system is no reparse point under wine; the Windows
# layer tells it by the file's final name. At a stored name it counts as
# existing; with --overwrite it is refused (deleting it would delete the file
# it leads to), where a volume is to be written too. Never written through.
mkdir -p symlinked/ziel symlinked/vol
printf 'bleibt\n' >symlinked/opfer
ln -s ../opfer symlinked/ziel/eins.bin
ln -s ../opfer symlinked/vol/package.002
win "$win_cli" extract 'set\package.001' -d 'symlinked\ziel' >/dev/null 2>err
check "link at a stored name: asked about" "1 Tolvane: „eins.bin“
sind im Zielverzeichnis schon vorhanden; mit --overwrite werden sie überschrieben." "$? $(cat err)"
win "$win_cli" extract 'set\package.001' -d 'symlinked\ziel' --overwrite >/dev/null 2>err
check "link at a stored name: refused" "1 QuellDateien::CopyBack::open: Beim Schreiben auf Medium ist ein Fehler aufgetreten!" \
    "$? $(head -1 err)"
check "link at a stored name: still the link" yes "$([ -L symlinked/ziel/eins.bin ] && echo yes)"
win "$win_cli" split --size 100000 -o 'symlinked\vol\package.001' 'src\eins.bin' >/dev/null 2>err
check "link at a volume name: refused" "1 QuellDateien::Copy::makeHeader: Beim Schreiben auf Medium ist ein Fehler aufgetreten!" \
    "$? $(head -1 err)"
check "link at a volume name: still the link" yes "$([ -L symlinked/vol/package.002 ] && echo yes)"
check "the file the links lead to keeps its bytes" bleibt "$(cat symlinked/opfer)"

# Names Windows reserves, and names that would reach a stream or a drive.
mkdir -p reserved
for name in 'CONIN$' 'conout$.txt' 'COM¹' 'com².log' 'LPT³.dat' 'notes.txt:evil' 'C:evil.bin'; do
    rm -rf reserved/*
    mkdir -p reserved/src reserved/set
    printf 'x' >"reserved/src/$name"
    (cd reserved/src && "$linux_cli" split --sfx -o ../set/package.exe "$name" >/dev/null)
    win "$win_cli" extract 'reserved\set\package.exe' -d 'reserved\ziel' >/dev/null 2>err
    check "name '$name' refused by tolvane-cli.exe" "1 Tolvane: Der Dateiname „${name}“ ist unter Windows nicht zulässig. Es wurde nichts entpackt." \
        "$? $(cat err)"
    (cd reserved/set && win ./package.exe --target ziel >/dev/null 2>"$work/err")
    check "name '$name' refused by the stub" "1 Tolvane Robot: Der Dateiname „${name}“ ist unter Windows nicht zulässig. Es wurde nichts entpackt." \
        "$? $(cat err)"
    check "name '$name': nothing written" "" "$(find reserved/ziel reserved/set/ziel -type f 2>/dev/null)"
done

finish
