#!/usr/bin/env bash
# A file over 4 GiB through the 32-bit Windows programs: a set made on Linux,
# restored by tolvane-cli.exe and by package.exe, and a set split by
# tolvane-cli.exe, restored on Linux; compared byte for byte. The file is
# sparse, with marked bytes on both sides of 2 GiB and 4 GiB, where 32-bit
# signed and unsigned offsets end. A volume holds 4 GiB + 512 KiB: the first
# crosses both marks inside, and the file goes on behind 4 GiB in the second.
set -uo pipefail
. "$(dirname "$0")/wine_lib.sh"

size=$(((4 << 30) + (1 << 20)))
volume=$(((4 << 30) + (512 << 10)))
# The volumes written and one restored copy at a time (the volumes' zeros
# are made holes again where the file system can).
need=$((9 << 30))
free=$(df --output=avail -B1 "$work" | tail -1)
if [ "$free" -lt "$need" ]; then
    echo "skipped: needs $need bytes free in $work, has $free"
    exit 77
fi

mkdir -p "$work/src"
big=$work/src/groß.bin
truncate -s "$size" "$big"
for at in $(((2 << 30) - 8)) $(((4 << 30) - 8)) $((volume - 8)) $((size - 16)); do
    head -c 16 /dev/urandom | dd of="$big" bs=1 seek="$at" conv=notrunc status=none
done
touch -d '2020-05-06 07:08:09.123 UTC' "$big"
holes() { fallocate --dig-holes "$@" 2>/dev/null || true; }
seconds() { echo "$(($(date +%s) - $1)) s"; }

# --- made on Linux (self-extracting, the Windows stub in front) ---
mkdir "$work/set"
start=$(date +%s)
(cd "$work/src" && "$linux_cli" split --sfx --size "$volume" -o "$work/set/package.exe" groß.bin >/dev/null)
echo "Linux split: $(seconds "$start")"
check "Linux set: two volumes" "package.002 package.exe" "$(cd "$work/set" && echo *)"
holes "$work"/set/*

start=$(date +%s)
win "$win_cli" extract "$work/set/package.exe" -d "$work/back" >/dev/null 2>"$work/err"
check "tolvane-cli.exe extract: exit code" "0 " "$? $(cat "$work/err")"
echo "tolvane-cli.exe extract: $(seconds "$start")"
check "restored by tolvane-cli.exe" same "$(same_file "$big" "$work/back/groß.bin")"
rm -rf "$work/back"

start=$(date +%s)
out=$(cd "$work/set" && win ./package.exe --target ziel 2>"$work/err")
check "package.exe --target: exit code" "0 " "$? $(cat "$work/err")"
echo "package.exe --target: $(seconds "$start")"
check "package.exe: its summary" "Files:1, FileSize:$size, Disks:2" "$(head -1 <<<"$out")"
check "restored by package.exe" same "$(same_file "$big" "$work/set/ziel/groß.bin")"
rm -rf "$work/set"

# --- split by tolvane-cli.exe, restored on Linux ---
mkdir "$work/winset"
start=$(date +%s)
(cd "$work/src" && win "$win_cli" split --size "$volume" -o "$work/winset/package.001" groß.bin >/dev/null 2>"$work/err")
check "tolvane-cli.exe split: exit code" "0 " "$? $(cat "$work/err")"
echo "tolvane-cli.exe split: $(seconds "$start")"
check "Windows set: two volumes" "package.001 package.002" "$(cd "$work/winset" && echo *)"
check "first volume's size" "$volume" "$(stat -c %s "$work/winset/package.001")"
holes "$work"/winset/*
start=$(date +%s)
"$linux_cli" extract "$work/winset/package.001" -d "$work/back" >/dev/null 2>"$work/err"
check "Linux extract: exit code" "0 " "$? $(cat "$work/err")"
echo "Linux extract: $(seconds "$start")"
check "restored on Linux" same "$(same_file "$big" "$work/back/groß.bin")"
finish
