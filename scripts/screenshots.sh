#!/usr/bin/env bash
# Takes the screenshots of every page under a virtual display into
# docs/screenshots/ (needs a build with the tests: cmake --preset default).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --build --preset default --target tolvane_screenshots >/dev/null
xvfb-run -a -s "-screen 0 1280x1024x24" build/bin/tolvane_screenshots docs/screenshots
