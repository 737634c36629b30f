#!/usr/bin/env bash
# Splits and restores the same data with tolvane-cli and with coreutils
# (cat + split, cat), both syncing their output to the medium, and prints the
# wall-time ratios and tolvane-cli's peak memory.
#
#   bench/split_restore.sh [--cli PATH] [--mib N] [--size SIZE] [--runs N] [--dir DIR]
#
# --cli   tolvane-cli to measure (default: build/bin/tolvane-cli)
# --mib   size of the data in MiB, spread over four files (default 384)
# --size  volume size as tolvane-cli takes it (default zip100)
# --runs  runs per direction; the median counts (default 5)
# --dir   folder for data and volumes (default: a new folder under $TMPDIR or /var/tmp)
set -euo pipefail
cd "$(dirname "$0")/.."

cli=build/bin/tolvane-cli
mib=384
size=zip100
runs=5
base=${TMPDIR:-/var/tmp}
while [ $# -gt 0 ]; do
    case $1 in
        --cli) cli=$2; shift 2 ;;
        --mib) mib=$2; shift 2 ;;
        --size) size=$2; shift 2 ;;
        --runs) runs=$2; shift 2 ;;
        --dir) base=$2; shift 2 ;;
        *) echo "unknown option: $1" >&2; exit 2 ;;
    esac
done
[ -x "$cli" ] || { echo "no tolvane-cli at $cli (build it first)" >&2; exit 2; }
[ -x /usr/bin/time ] || { echo "GNU time (/usr/bin/time) is needed for the peak memory" >&2; exit 2; }
case $size in
    1.2M) bytes=1179648 ;; 1.44M) bytes=1441792 ;; 2.88M) bytes=2883584 ;;
    zip100) bytes=99614720 ;; *) bytes=$size ;;
esac

work=$(mktemp -d "$base/tolvane-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/data"
total=$((mib * 1048576))
sizes=($((total / 2)) $((total / 4)) $((total / 8)) $((total - total / 2 - total / 4 - total / 8)))
files=()
for i in 0 1 2 3; do
    head -c "${sizes[$i]}" /dev/urandom >"$work/data/file$i.bin"
    files+=("$work/data/file$i.bin")
done
sync

now() { date +%s%N; }
# Wall time of a command in nanoseconds, on stdout.
timed() {
    local start end
    start=$(now)
    "$@"
    end=$(now)
    echo $((end - start))
}
median() { printf '%s\n' "$@" | sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }
minimum() { printf '%s\n' "$@" | sort -n | head -1; }
seconds() { awk -v ns="$1" 'BEGIN { printf "%.3f", ns / 1e9 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

ours_split() { "$cli" split --size "$size" -o "$work/vol/package.001" "${files[@]}" >/dev/null; }
base_split() {
    cat "${files[@]}" | split -b "$bytes" -d -a 3 - "$work/part/part."
    sync "$work"/part/part.*
}
ours_restore() { "$cli" extract "$work/vol/package.001" -d "$work/back" >/dev/null; }
base_restore() {
    cat "$work"/part/part.* >"$work/whole/whole.bin"
    sync "$work/whole/whole.bin"
}
fresh() { rm -rf "$work/$1" && mkdir -p "$work/$1"; }
# Before each measurement: the data in the page cache (both sides read warm),
# nothing left to write back, and a moment for the device to finish discards.
settle() {
    cat "$@" >/dev/null
    sync
    sleep 1
}

declare -a os bs orr br
peak=0
for ((r = 1; r <= runs; r++)); do
    # Alternate the order so neither side always finds the caches in its favour.
    fresh vol; fresh part
    if ((r % 2)); then
        settle "${files[@]}"; os+=("$(timed ours_split)")
        settle "${files[@]}"; bs+=("$(timed base_split)")
    else
        settle "${files[@]}"; bs+=("$(timed base_split)")
        settle "${files[@]}"; os+=("$(timed ours_split)")
    fi
    fresh back; fresh whole
    if ((r % 2)); then
        settle "$work"/vol/*; orr+=("$(timed ours_restore)")
        settle "$work"/part/*; br+=("$(timed base_restore)")
    else
        settle "$work"/part/*; br+=("$(timed base_restore)")
        settle "$work"/vol/*; orr+=("$(timed ours_restore)")
    fi
done
for i in 0 1 2 3; do
    cmp -s "${files[$i]}" "$work/back/file$i.bin" || { echo "restored file$i.bin differs" >&2; exit 1; }
done

# Peak memory (maximum resident set) of each direction.
fresh vol; fresh back
rss_split=$(/usr/bin/time -f %M "$cli" split --size "$size" -o "$work/vol/package.001" "${files[@]}" 2>&1 >/dev/null | tail -1)
rss_restore=$(/usr/bin/time -f %M "$cli" extract "$work/vol/package.001" -d "$work/back" 2>&1 >/dev/null | tail -1)
volumes=$(ls "$work/vol" | wc -l)

# The median, and the best run (least disturbed by other load on the machine).
row() {
    local name=$1 ours=$2 theirs=$3
    local om tm on tn
    om=$(median $ours); tm=$(median $theirs); on=$(minimum $ours); tn=$(minimum $theirs)
    printf '%-8s %9s s %9s s %6s   %9s s %9s s %6s\n' "$name" "$(seconds "$om")" "$(seconds "$tm")" \
        "$(ratio "$om" "$tm")" "$(seconds "$on")" "$(seconds "$tn")" "$(ratio "$on" "$tn")"
}
echo "data: $mib MiB in 4 files, volume size $bytes ($volumes volumes), $runs runs, in $base"
printf '%-8s %11s %11s %6s   %11s %11s %6s\n' "" "median:" "" "" "best:" "" ""
printf '%-8s %11s %11s %6s   %11s %11s %6s\n' "" "tolvane-cli" "coreutils" "ratio" "tolvane-cli" \
    "coreutils" "ratio"
row split "${os[*]}" "${bs[*]}"
row restore "${orr[*]}" "${br[*]}"
echo "peak memory of tolvane-cli: split $((rss_split / 1024)) MiB, restore $((rss_restore / 1024)) MiB (${rss_split} / ${rss_restore} KiB)"
