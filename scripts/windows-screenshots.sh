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
mkdir -p "$out" "$work/src" "$work/Dokumente" "$work/Sicherung" "$work/Wiederhergestellt" \
    "$work/Ersatzdiskette"
head -c 150000 /dev/urandom >"$work/src/eins.bin"
(cd "$work/src" && "$OLDPWD/build/bin/tolvane-cli" split --sfx --robot "$OLDPWD/build/bin/Robot.dat" \
    --size 100000 -o "$work/package.exe" eins.bin >/dev/null)
# The files the pages show, as on Linux.
head -c 1843200 /dev/urandom >"$work/Dokumente/Jahresabschluss 2024.xlsx"
head -c 48640 /dev/urandom >"$work/Dokumente/Briefvorlage.docx"
head -c 2411724 /dev/urandom >"$work/Dokumente/Urlaubsfotos.zip"
bin=$PWD/build/win/bin
cd "$work"
# The window program is worked by window_driver.exe, which takes each
# picture with window_shot.exe. The same states as on Linux
# (tests/gui/qt/screenshots_main.cpp).
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    [ -f "$WINEPREFIX/system.reg" ] || wineboot -i >/dev/null 2>&1
    wine package.exe >/dev/null 2>&1 &
    status=0
    wine "$1/window_shot.exe" "Tolvane v2 - selfextracting archive" robot.png 1500 || status=$?
    wineserver -k
    drive() {
        wine "$1/window_driver.exe" "$1/tolvane.exe" "${@:2}" >driver.log ||
            { status=$?; cat driver.log >&2; }
    }
    docs=$(winepath -w Dokumente)
    archive=$(winepath -w Sicherung)
    restored=$(winepath -w Wiederhergestellt)
    # The start page shown anew ("Neu"): the first one has the tooltip of
    # the button under the virtual screen'"'"'s pointer.
    drive "$1" -- command:40017 shot:start.png close
    drive "$1" -- command:40009 shot:about.png close
    # A split through the window onto the hard disk, the paths typed into the
    # choosers: first the folder, then its files.
    drive "$1" -- command:40001 shot:split_page1_empty.png press:1005 "choose:$docs" \
        "choose:\"Jahresabschluss 2024.xlsx\" \"Briefvorlage.docx\" \"Urlaubsfotos.zip\"" \
        press:1004 "choose:$archive\\package.001" shot:split_page1.png press:1001 \
        shot:split_page2.png press:1001 wait:1106 shot:completion_split.png close
    drive "$1" -- command:40001 press:1016 shot:custom_size.png press:2 close
    drive "$1" -- command:40013 shot:information_empty.png press:1037 \
        "choose:$archive\\package.002" shot:information.png close
    drive "$1" Sicherung/package.002 -- shot:opened_volume.png close
    # Restoring that archive into another folder. The progress pages are
    # taken before "Starten": the job is done before a picture could be.
    drive "$1" -- command:40002 press:1037 "choose:$archive\\package.001" press:1038 \
        "choose:$restored" shot:restore_page1.png press:1001 shot:restore_progress.png press:1001 \
        wait:1106 shot:completion_restore.png close
    # Continuing that restore at volume 2.
    drive "$1" -- command:40012 press:1037 "choose:$archive\\package.002" press:1038 \
        "choose:$restored" press:1075 shot:continue_page1.png press:1001 \
        shot:continue_progress.png close
    # Re-creating volume 2 from volume 1 and the originals.
    drive "$1" -- command:40016 press:1037 "choose:$archive\\package.001" press:1075 \
        shot:repair_page1.png press:1001 press:1066 "choose:$docs" shot:repair_page2.png \
        press:1001 press:1004 "choose:$(winepath -w Ersatzdiskette)" shot:repair_page3.png \
        press:1001 shot:repair_progress.png press:1001 wait:1106 shot:completion_repair.png close
    wineserver -k
    exit $status' shots "$bin"
for shot in robot start about split_page1_empty split_page1 split_page2 completion_split \
    custom_size information_empty information opened_volume restore_page1 restore_progress \
    completion_restore continue_page1 continue_progress repair_page1 repair_page2 repair_page3 \
    repair_progress completion_repair; do
    cp "$shot.png" "$out/$shot.png"
    echo "$out/$shot.png"
done
