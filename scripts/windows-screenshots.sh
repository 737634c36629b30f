#!/usr/bin/env bash
# Takes the screenshots of the Windows programs under wine with a virtual
# display into docs/screenshots/windows/ (needs a build: cmake --preset default).
# The tests' wine prefix has no display driver, so this one has a prefix of
# its own (build/wine-screenshots) with wine's X11 driver.
set -euo pipefail
cd "$(dirname "$0")/.."
out=$PWD/docs/screenshots/windows
cmake --build --preset default --target windows_programs tolvane-cli >/dev/null
cmake --build build/win --target window_driver window_shot >/dev/null
export WINEPREFIX=$PWD/build/wine-screenshots WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
# A German Windows: wine takes its language from the locale, which needs no
# system-wide installation when made into a folder of our own (Debian: locales).
export LOCPATH=$PWD/build/wine-locale
if [ ! -d "$LOCPATH/de_DE.UTF-8" ]; then
    mkdir -p "$LOCPATH"
    localedef -i de_DE -f UTF-8 "$LOCPATH/de_DE.UTF-8"
fi
export LANG=de_DE.UTF-8 LC_ALL=de_DE.UTF-8
work=$(mktemp -d "${TMPDIR:-/tmp}/tolvane-shots.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$out" "$work/src"
head -c 150000 /dev/urandom >"$work/src/eins.bin"
(cd "$work/src" && "$OLDPWD/build/bin/tolvane-cli" split --sfx --robot "$OLDPWD/build/bin/Robot.dat" \
    --size 100000 -o "$work/package.exe" eins.bin >/dev/null)
(cd "$work/src" && "$OLDPWD/build/bin/tolvane-cli" split --size 100000 -o "$work/package.001" \
    eins.bin >/dev/null)
bin=$PWD/build/win/bin
cd "$work"
# The window program is worked by window_driver.exe, which takes each
# picture with window_shot.exe.
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    [ -f "$WINEPREFIX/system.reg" ] || wineboot -i >/dev/null 2>&1
    wine package.exe >/dev/null 2>&1 &
    status=0
    wine "$1/window_shot.exe" "Tolvane v2 - selfextracting archive" robot.png 1500 || status=$?
    wineserver -k
    drive() { wine "$1/window_driver.exe" "$1/tolvane.exe" "${@:2}" >/dev/null || status=$?; }
    # The start page shown anew ("Neu"): the first one has the tooltip of
    # the button under the virtual screen'"'"'s pointer.
    drive "$1" -- command:40017 shot:start.png press:1016 shot:split_page1.png close
    drive "$1" package.001 -- shot:opened_volume.png close
    drive "$1" -- command:40009 shot:about.png close
    # A split through the window, the paths typed into the choosers.
    mkdir -p out
    drive "$1" -- press:1016 press:1005 "choose:$(winepath -w src/eins.bin)" press:1004 \
        "choose:$(winepath -w out)\\package.001" press:1001 shot:split_page2.png press:1001 \
        wait:1106 shot:completion_split.png close
    wineserver -k
    exit $status' shots "$bin"
for shot in robot start split_page1 opened_volume about split_page2 completion_split; do
    cp "$shot.png" "$out/$shot.png"
    echo "$out/$shot.png"
done
