#!/usr/bin/env bash
# Where "tolvane-cli split --sfx" takes its robot image from when --robot is
# not given: beside the program, else in the stub folder of an installation
# relative to the program (as a package or "cmake --install" lays it out).
set -u
source "$(dirname "$0")/test_lib.sh"
stub_dir=${TOLVANE_STUB_DIR_FROM_BIN:?TOLVANE_STUB_DIR_FROM_BIN names the stub folder}

mkdir -p "$work/root/bin" "$work/root/bin/$stub_dir" "$work/out"
cp "$cli" "$work/root/bin/tolvane-cli"
installed="$work/root/bin/$stub_dir/Robot.dat"
printf 'installed robot image' >"$installed"
printf 'Inhalt' >"$work/brief.txt"

# split --sfx with the program at root/bin; prints the first bytes of package.exe.
sfx_front() {  # NAME
    "$work/root/bin/tolvane-cli" split --sfx -o "$work/out/$1.exe" "$work/brief.txt" \
        </dev/null >/dev/null 2>"$work/err" || { cat "$work/err"; return; }
    head -c "$2" "$work/out/$1.exe"
}

check "robot image from the installed stub folder" "installed robot image" \
    "$(sfx_front installed 21)"
printf 'robot image beside' >"$work/root/bin/Robot.dat"
check "the image beside the program comes first" "robot image beside" \
    "$(sfx_front beside 18)"

rm "$work/root/bin/Robot.dat" "$installed"
"$work/root/bin/tolvane-cli" split --sfx -o "$work/out/none.exe" "$work/brief.txt" \
    </dev/null >/dev/null 2>"$work/err"
check "no image anywhere fails" 1 "$?"
check "missing image reported" "QuellDateien::makeHeader (OPEN): Die Datei robot.dat wurde nicht gefunden" \
    "$(grep -m1 -o 'QuellDateien::makeHeader (OPEN): .*' "$work/err")"
finish
