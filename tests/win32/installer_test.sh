#!/usr/bin/env bash
# tolvane-setup.exe under wine: "/S" installs the programs and the help into
# Program Files\Tolvane with Start-menu entries and the entry of "Programme
# und Features"; the uninstaller's "/S" removes all of it again. The portable
# zip holds the same files.
set -uo pipefail
. "$(dirname "$0")/../windows/wine_lib.sh"

key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tolvane'
# A value of the uninstall entry, in whichever registry view the installer wrote it.
value() {
    local view out
    for view in 64 32; do
        out=$(wine reg query "$key" /v "$1" /reg:$view </dev/null 2>/dev/null | tr -d '\r' |
              sed -n "s/^ *$1 *REG_[A-Z_]* *//p")
        [ -n "$out" ] && { echo "$out"; return; }
    done
}
start_menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Tolvane"

win "${TOLVANE_WIN_BIN:?}/tolvane-setup.exe" /S
check "setup exit code" 0 "$?"
location=$(value InstallLocation)
check "installed under Program Files" yes \
    "$(case "$location" in 'C:\Program Files'*'\Tolvane') echo yes ;; *) echo "$location" ;; esac)"
dir=$(winepath -u "$location" 2>/dev/null)
dir=${dir%/}
for f in tolvane.exe tolvane-cli.exe Robot.dat; do
    check "installed $f" same "$(cmp -s "${TOLVANE_WIN_BIN:?}/$f" "$dir/$f" && echo same)"
done
check "installed hilfe.htm" same "$(cmp -s "$TOLVANE_HELP_FILE" "$dir/hilfe.htm" && echo same)"
check "Start-menu entries" yes \
    "$([ -f "$start_menu/Tolvane.lnk" ] && [ -f "$start_menu/Tolvane-Hilfe.lnk" ] && echo yes)"
for f in tolvane.exe tolvane-cli.exe; do
    check "$f starts from there" 0 "$(win "$dir/$f" --version >/dev/null 2>&1; echo $?)"
done
check "uninstall entry" "Tolvane|${TOLVANE_VERSION:?}|Tolvane|\"$location\\Deinstallieren.exe\"" \
    "$(value DisplayName)|$(value DisplayVersion)|$(value Publisher)|$(value UninstallString)"

# The uninstaller runs on from a copy of itself: wait for it to finish.
win "$dir/Deinstallieren.exe" /S
check "uninstaller exit code" 0 "$?"
for _ in $(seq 100); do [ -e "$dir" ] || break; sleep 0.2; done
check "install folder removed" gone "$([ -e "$dir" ] || echo gone)"
check "Start-menu entries removed" gone "$([ -e "$start_menu" ] || echo gone)"
check "uninstall entry removed" "" "$(value DisplayName)"

zip=${TOLVANE_WIN_BIN:?}/tolvane-${TOLVANE_VERSION}-windows.zip
top=Tolvane-$TOLVANE_VERSION
check "portable zip" "$top/Robot.dat $top/hilfe.htm $top/tolvane-cli.exe $top/tolvane.exe " \
    "$(cmake -E tar tf "$zip" 2>/dev/null | grep -v '/$' | LC_ALL=C sort | tr '\n' ' ')"

finish
