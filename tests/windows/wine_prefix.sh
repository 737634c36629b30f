#!/usr/bin/env bash
# start: makes the private wine prefix once (WINEPREFIX, null graphics driver,
# no display needed) and keeps a wine server running, so that each program
# starts in a fraction of a second. stop: ends that server and the prefix's
# services.
set -euo pipefail
: "${WINEPREFIX:?}"
case "${1:-}" in
start)
    # The German locale of LANG in the folder LOCPATH, when the system has none.
    if [ -n "${LOCPATH:-}" ] && [ -n "${LANG:-}" ] && [ "${LANG:-}" != C ] &&
        [ ! -d "$LOCPATH/$LANG" ]; then
        mkdir -p "$LOCPATH"
        localedef -i "${LANG%%.*}" -f UTF-8 "$LOCPATH/$LANG" || {
            echo "localedef cannot make $LANG in $LOCPATH" >&2
            exit 1
        }
    fi
    # A prefix made while only wine64 was installed has no 32-bit system
    # (drive_c/windows/syswow64) and cannot start a 32-bit program once
    # wine32 is there ("could not load kernel32.dll"): made anew.
    if [ -f "$WINEPREFIX/system.reg" ] && grep -qx '#arch=win64' "$WINEPREFIX/system.reg" &&
        [ ! -f "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ]; then
        echo "wine prefix without a 32-bit system, made anew: $WINEPREFIX"
        wineserver -k 2>/dev/null || true
        rm -rf "$WINEPREFIX"
    fi
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        mkdir -p "$WINEPREFIX"
        env -u DISPLAY -u WAYLAND_DISPLAY wineboot -i >/dev/null 2>&1
        wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
        wineserver -w
    fi
    # Persistent while the tests run (stop ends it). Neither it nor the
    # prefix's services, started with the first program, may hold a test's
    # output open: they start here, on /dev/null.
    wineserver -p </dev/null >/dev/null 2>&1 || true  # or one runs already
    wine wineboot </dev/null >/dev/null 2>&1
    # The Windows programs are 32-bit: without wine32 none of them starts.
    if ! version=$(wine "${TOLVANE_WIN_BIN:?}/tolvane-cli.exe" --version </dev/null 2>&1); then
        echo "wine cannot start the 32-bit tolvane-cli.exe (is wine32 installed?): $version" >&2
        exit 1
    fi
    echo "wine prefix ready: $WINEPREFIX ($version)"
    ;;
stop)
    wineserver -k 2>/dev/null || true
    ;;
*)
    echo "Aufruf: $0 start|stop" >&2
    exit 2
    ;;
esac
