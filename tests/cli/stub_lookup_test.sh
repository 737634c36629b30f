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
robot_image "$installed" 3000
printf 'Inhalt' >"$work/brief.txt"

# split --sfx with the program at root/bin; says which image package.exe
# begins with.
sfx_front() {  # NAME
    "$work/root/bin/tolvane-cli" split --sfx -o "$work/out/$1.exe" "$work/brief.txt" \
        </dev/null >/dev/null 2>"$work/err" || { cat "$work/err"; return; }
    cmp -s -n 3000 "$installed" "$work/out/$1.exe" && echo "installed"
    cmp -s -n 3000 "$work/root/bin/Robot.dat" "$work/out/$1.exe" 2>/dev/null && echo "beside"
}

check "robot image from the installed stub folder" "installed" "$(sfx_front installed)"
robot_image "$work/root/bin/Robot.dat" 3000
check "the image beside the program comes first" "beside" "$(sfx_front beside)"

rm "$work/root/bin/Robot.dat" "$installed"
"$work/root/bin/tolvane-cli" split --sfx -o "$work/out/none.exe" "$work/brief.txt" \
    </dev/null >/dev/null 2>"$work/err"
check "no image anywhere fails" 1 "$?"
check "missing image reported" "QuellDateien::makeHeader (OPEN): Die Datei robot.dat wurde nicht gefunden" \
    "$(grep -m1 -o 'QuellDateien::makeHeader (OPEN): .*' "$work/err")"
finish
