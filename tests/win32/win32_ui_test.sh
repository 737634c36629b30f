#!/usr/bin/env bash
# Runs a Windows test program (with its arguments) under wine without a display.
set -uo pipefail
env -u DISPLAY -u WAYLAND_DISPLAY wine "${1:?}" "${@:2}" </dev/null
