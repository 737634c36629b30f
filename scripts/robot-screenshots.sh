#!/usr/bin/env bash
# Pictures of the self-extracting stub's dialog (Ready and Done) taken from a
# virtual X screen into docs/screenshots/.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset default >/dev/null
cmake --build --preset default --target robot_screenshot
mkdir -p docs/screenshots
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1024x768x24" \
    build/bin/robot_screenshot docs/screenshots
