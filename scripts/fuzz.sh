#!/usr/bin/env bash
# Fuzzes every target in build-fuzz/bin (cmake --preset fuzz) for SECONDS
# each, starting from the corpus in fuzz/corpus/<target>. Fails on the first
# finding; the input that found it lands in build-fuzz/findings/. New inputs
# the fuzzer finds go to build-fuzz/corpus/<target>, not into the sources.
# Usage: scripts/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    for program in build-fuzz/bin/*_fuzzer; do
        targets+=("$(basename "$program" _fuzzer)")
    done
fi
mkdir -p build-fuzz/findings
for target in "${targets[@]}"; do
    work=build-fuzz/corpus/$target
    mkdir -p "$work"
    log=build-fuzz/findings/$target.log
    if ! "build-fuzz/bin/${target}_fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -dict=fuzz/tolvane.dict -artifact_prefix="build-fuzz/findings/$target-" \
        -print_final_stats=1 "$work" "fuzz/corpus/$target" >"$log" 2>&1; then
        tail -40 "$log"
        echo "fuzz: $target found a problem; its input is in build-fuzz/findings/" >&2
        exit 1
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "fuzz: $target: $runs runs in $seconds s, nothing found"
done
