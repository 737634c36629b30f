#!/usr/bin/env bash
# The image of each Windows program: 32-bit x86 (machine i386, PE32), its
# subsystem and the oldest Windows it asks for, address space layout
# randomization, and the DLLs it imports: system DLLs only, the C and C++
# runtime libraries being linked in. And the window program's size.
set -uo pipefail
TOLVANE_CLI=${TOLVANE_OBJDUMP:?}  # the test library wants a program under test
. "$(dirname "$0")/../cli/test_lib.sh"
objdump=$TOLVANE_OBJDUMP
version=${TOLVANE_WINDOWS_VERSION:?}

# file | subsystem | imported DLLs, sorted
programs=(
    "${TOLVANE_ROBOT_DAT:?}|Windows GUI|comctl32.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll shell32.dll user32.dll"
    "${TOLVANE_WIN_BIN:?}/tolvane-cli.exe|Windows CUI|kernel32.dll msvcrt.dll"
    "${TOLVANE_WIN_BIN:?}/tolvane.exe|Windows GUI|advapi32.dll comctl32.dll comdlg32.dll gdi32.dll kernel32.dll msimg32.dll msvcrt.dll ole32.dll shell32.dll user32.dll windowscodecs.dll"
)

u16() { od -An -tu2 -j"$2" -N2 "$1" | tr -d ' '; }
for row in "${programs[@]}"; do
    IFS='|' read -r file subsystem dlls <<<"$row"
    name=$(basename "$file")
    pe=$(od -An -tu4 -j60 -N4 "$file" | tr -d ' ')
    check "$name: PE signature, machine i386 (332)" "MZ PE 332" \
        "$(head -c2 "$file") $(tail -c+$((pe + 1)) "$file" | head -c2) $(u16 "$file" $((pe + 4)))"
    headers=$("$objdump" -p "$file")
    field() { sed -n "s/^$1\s\+//p" <<<"$headers" | head -1; }
    check "$name: PE32" "010b	(PE32)" "$(field Magic)"
    check "$name: subsystem" "$subsystem" "$(field Subsystem | sed 's/.*(\(.*\))/\1/')"
    check "$name: subsystem version" "$version" \
        "$(field MajorSubsystemVersion).$(field MinorSubsystemVersion)"
    check "$name: system version" "$version" \
        "$(field MajorOSystemVersion).$(field MinorOSystemVersion)"
    check "$name: relocatable, no executable data" "DYNAMIC_BASE NX_COMPAT" \
        "$(grep -oE '^\s+(DYNAMIC_BASE|NX_COMPAT)$' <<<"$headers" | tr -d '\t ' | sort | xargs)"
    check "$name: imports only system DLLs" "$dlls" \
        "$(sed -n 's/^\s*DLL Name: //p' <<<"$headers" | tr 'A-Z' 'a-z' | sort | xargs)"
done
# The window program is one small file (the pictures are in it).
window_size=$(stat -c %s "$TOLVANE_WIN_BIN/tolvane.exe")
check "tolvane.exe: at most 4 MiB ($window_size bytes)" yes "$([ "$window_size" -le 4194304 ] && echo yes)"
finish
