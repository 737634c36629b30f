#!/usr/bin/env bash
# Takes the screenshots of every page, and of the self-extracting stub's
# dialog, under a virtual display into docs/screenshots/ (needs a build with
# the tests: cmake --preset default).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --build --preset default --target tolvane_screenshots robot_screenshot >/dev/null
xvfb-run -a -s "-screen 0 1280x1024x24" build/bin/tolvane_screenshots docs/screenshots
xvfb-run -a -s "-screen 0 1024x768x24" build/bin/robot_screenshot docs/screenshots
