#!/usr/bin/env bash
# Runs the Win32 services' test program under wine without a display.
set -uo pipefail
env -u DISPLAY -u WAYLAND_DISPLAY wine "${1:?}" </dev/null
