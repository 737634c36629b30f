#!/usr/bin/env bash
# tolvane's own command line: --help and --version answer on the terminal
# without a display; a wrong call is refused with the usage line.
set -u
TOLVANE_CLI=${TOLVANE_CLI:-tolvane-cli}  # not used here
source "$(dirname "$0")/../cli/test_lib.sh"
gui=${TOLVANE_GUI:?TOLVANE_GUI names the program under test}
version=${TOLVANE_VERSION:?}

nodisplay() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$gui" "$@" 2>&1; }
for option in --version -V; do
    check "$option without a display" "tolvane $version" "$(nodisplay "$option")"
done
for option in --help -h; do
    out=$(nodisplay "$option")
    check "$option exit" 0 "$?"
    check "$option starts with the usage line" "Aufruf: tolvane [DATEI]" "$(head -1 <<<"$out")"
done

# A wrong call: Qt starts (offscreen), then the call is refused before any window.
wrong() { QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$work "$gui" "$@" 2>&1 >/dev/null; }
check "unknown option" "tolvane: unbekannte Option: --gibts-nicht
Aufruf: tolvane [DATEI]
mehr mit: tolvane --help
2" "$(wrong --gibts-nicht; echo $?)"
check "two files" "tolvane: nur eine Datei kann geöffnet werden
Aufruf: tolvane [DATEI]
mehr mit: tolvane --help
2" "$(wrong a.001 b.001; echo $?)"
finish
