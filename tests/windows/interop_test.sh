#!/usr/bin/env bash
# Sets passed between the systems: tolvane-cli.exe under wine, given relative
# Windows paths, writes the same volumes as tolvane-cli on Linux; each
# restores the other's sets; info reads them alike.
set -uo pipefail
. "$(dirname "$0")/wine_lib.sh"

make_sources "$work/src"
cd "$work"
for kind in plain sfx; do
    if [ "$kind" = sfx ]; then first=package.exe; option=--sfx; else first=package.001; option=; fi
    mkdir -p "linux-$kind" "win-$kind"
    (cd src && "$linux_cli" split $option --size 100000 -o "../linux-$kind/$first" "${source_names[@]}" >/dev/null)
    out=$(win "$win_cli" split $option --size 100000 -o "win-$kind\\$first" 'src\eins.bin' 'src\Übersicht.txt' 'src\leer')
    check "$kind: Windows split exit code" 0 "$?"
    check "$kind: volumes listed" "$(cd "linux-$kind" && { echo "$first"; ls | grep -vx "$first"; } |
        sed "s/^/win-$kind\\\\/")" "$out"
    check "$kind: the same volumes" "$(cd "linux-$kind" && echo *)" "$(cd "win-$kind" && echo *)"
    for v in "linux-$kind"/*; do
        check "$kind: $(basename "$v") byte-identical" same \
            "$(cmp -s "$v" "win-$kind/$(basename "$v")" && echo same)"
    done

    # Each restores the other's set.
    win "$win_cli" extract "linux-$kind\\$first" -d "von-linux-$kind" >/dev/null 2>"$work/err"
    check "$kind: Windows restores the Linux set" "0 " "$? $(cat "$work/err")"
    "$linux_cli" extract "win-$kind/package.003" -d "von-windows-$kind" </dev/null >/dev/null 2>"$work/err"
    check "$kind: Linux restores the Windows set" "0 " "$? $(cat "$work/err")"
    for f in "${source_names[@]}"; do
        check "$kind: $f from Linux to Windows" same "$(same_file "src/$f" "von-linux-$kind/$f")"
        check "$kind: $f from Windows to Linux" same "$(same_file "src/$f" "von-windows-$kind/$f")"
    done

    check "$kind: info alike" "$("$linux_cli" info "linux-$kind/package.002")" \
        "$(win "$win_cli" info "linux-$kind\\package.002")"
done

# The Windows program finds Robot.dat beside itself, the Windows stub.
check "tolvane-cli.exe puts its Robot.dat in front" same \
    "$(cmp -s -n "$(stat -c %s "$TOLVANE_WIN_BIN/Robot.dat")" "$TOLVANE_WIN_BIN/Robot.dat" win-sfx/package.exe && echo same)"
# A Linux stub chosen with --robot.
mkdir -p linux-stub
win "$win_cli" split --sfx --robot "Z:${TOLVANE_LINUX_ROBOT//\//\\}" -o 'linux-stub\package.exe' 'src\eins.bin' >/dev/null
check "--robot chooses the Linux stub" same \
    "$(cmp -s -n "$(stat -c %s "$TOLVANE_LINUX_ROBOT")" "$TOLVANE_LINUX_ROBOT" linux-stub/package.exe && echo same)"

finish
