#!/usr/bin/env bash
# tolvane-cli.exe under wine, called like the Linux program.
exec env -u DISPLAY -u WAYLAND_DISPLAY wine "${TOLVANE_WIN_BIN:?}/tolvane-cli.exe" "$@"
