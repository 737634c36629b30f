#!/usr/bin/env bash
# Builds the programs and starts the archiver.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)"
exec build/bin/tolvane-cli --help
