# Shared by the wine test scripts: the check/finish helpers of the command
# line tests, the Linux and the Windows programs, and how to run the latter.
TOLVANE_CLI=${TOLVANE_LINUX_CLI:?}
. "$(dirname "${BASH_SOURCE[0]}")/../cli/test_lib.sh"
linux_cli=$TOLVANE_LINUX_CLI
win_cli=${TOLVANE_WIN_BIN:?}/tolvane-cli.exe

# A Windows program with no display and no terminal.
win() { env -u DISPLAY -u WAYLAND_DISPLAY wine "$@" </dev/null; }
mtime_ms() { date -u -r "$1" +%s%3N; }
# "same" when two files have equal bytes and last-write times to the millisecond.
same_file() {
    if cmp -s "$1" "$2" && [ "$(mtime_ms "$1")" = "$(mtime_ms "$2")" ]; then echo same; else echo "differs: $2"; fi
}
# Three files, one empty, umlauts in a name, times with milliseconds.
make_sources() {
    mkdir -p "$1"
    head -c 250000 /dev/urandom >"$1/eins.bin"
    printf 'Grüße aus Köln\n' >"$1/Übersicht.txt"
    : >"$1/leer"
    touch -d '2001-02-03 04:05:06.789 UTC' "$1/eins.bin"
    touch -d '2024-02-29 12:00:00.5 UTC' "$1/Übersicht.txt"
    touch -d '1999-12-31 23:59:59 UTC' "$1/leer"
}
source_names=(eins.bin Übersicht.txt leer)
