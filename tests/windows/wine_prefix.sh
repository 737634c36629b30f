#!/usr/bin/env bash
# start: makes the private wine prefix once (WINEPREFIX, null graphics driver,
# no display needed) and keeps a wine server running, so that each program
# starts in a fraction of a second. stop: ends that server and the prefix's
# services.
set -euo pipefail
: "${WINEPREFIX:?}"
case "${1:-}" in
start)
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
    echo "wine prefix ready: $WINEPREFIX"
    ;;
stop)
    wineserver -k 2>/dev/null || true
    ;;
*)
    echo "Aufruf: $0 start|stop" >&2
    exit 2
    ;;
esac
