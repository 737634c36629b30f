#!/usr/bin/env bash
# Recovery data against par2cmdline: creating it for N = 1 lost volume, and
# verifying an intact set. Prints the figures and writes them, with the
# machine and the commands, to docs/recovery-performance.md.
#
#   bench/recovery.sh [--cli PATH] [--runs N] [--dir DIR] [--quick]
#
# --cli    tolvane-cli to measure (default: build/bin/tolvane-cli)
# --runs   runs per measurement; the median counts (default 3)
# --dir    folder for data, volumes and recovery files (default: $TMPDIR or /var/tmp)
# --quick  only a 64 MiB set on 1.44 MB volumes (a smoke test of the script)
#
# Cases: 300 MiB on 1.44 MB volumes and 1 GiB on ZIP100 volumes, four files of
# random bytes each. Creation: "tolvane-cli split --recovery 1" against
# "tolvane-cli split" followed by "par2 create" over the volumes with the same
# redundancy, in two settings: the slice size and count Tolvane chose
# (-s SLICE -c 1), and par2cmdline's own default of 2000 slices with as many
# recovery slices as make at least one volume (-b2000 -cK). Verify:
# "tolvane-cli verify" against "par2 verify" on the same set and files.
# Every timing starts with the data in the page cache and nothing left to
# write back; both sides flush what they write (par2cmdline does not; its
# figures are without the flush, which favours it).
set -euo pipefail
cd "$(dirname "$0")/.."

cli=build/bin/tolvane-cli
runs=3
base=${TMPDIR:-/var/tmp}
quick=0
while [ $# -gt 0 ]; do
    case $1 in
        --cli) cli=$2; shift 2 ;;
        --runs) runs=$2; shift 2 ;;
        --dir) base=$2; shift 2 ;;
        --quick) quick=1; shift ;;
        *) echo "unknown option: $1" >&2; exit 2 ;;
    esac
done
[ -x "$cli" ] || { echo "no tolvane-cli at $cli (build it first)" >&2; exit 2; }
command -v par2 >/dev/null || { echo "par2 (par2cmdline) is needed" >&2; exit 2; }
[ -x /usr/bin/time ] || { echo "GNU time (/usr/bin/time) is needed" >&2; exit 2; }

work=$(mktemp -d "$base/tolvane-recovery-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

now() { date +%s%N; }
median() { printf '%s\n' "$@" | sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }
seconds() { awk -v ns="$1" 'BEGIN { printf "%.2f", ns / 1e9 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
settle() { cat "$@" >/dev/null; sync; sleep 1; }
timed() {  # command...: nanoseconds on stdout
    local start end
    start=$(now)
    "$@" >/dev/null 2>&1
    end=$(now)
    echo $((end - start))
}

rows=()
measure() {  # label size bytes mib
    local label=$1 size=$2 bytes=$3 mib=$4
    local data=$work/data vol=$work/vol par=$work/par
    rm -rf "$data" && mkdir -p "$data"
    local total=$((mib * 1048576)) i
    local sizes=($((total / 2)) $((total / 4)) $((total / 8)) $((total - total / 2 - total / 4 - total / 8)))
    local files=()
    for i in 0 1 2 3; do
        head -c "${sizes[$i]}" /dev/urandom >"$data/file$i.bin"
        files+=("$data/file$i.bin")
    done

    local plain=() ours=() same=() dflt=() ov=() pv=()
    local slice count block k r rss
    for ((r = 1; r <= runs; r++)); do
        rm -rf "$vol" && mkdir "$vol"
        settle "${files[@]}"
        plain+=("$(timed "$cli" split --size "$size" -o "$vol/package.001" "${files[@]}")")
        rm -rf "$vol" && mkdir "$vol"
        settle "${files[@]}"
        ours+=("$(timed "$cli" split --size "$size" --recovery 1 -o "$vol/package.001" "${files[@]}")")
        # par2cmdline over a copy of the same volumes.
        rm -rf "$par" && mkdir "$par" && cp "$vol"/package.[0-9]* "$par/"
        slice=$(( (bytes + 3) / 4 * 4 ))
        settle "$par"/package.*
        same+=("$(timed sh -c "cd '$par' && par2 create -q -q -s$slice -c1 package.par2 package.[0-9]*")")
        # Verify, both tools on the set with Tolvane's recovery files.
        settle "$vol"/*
        ov+=("$(timed "$cli" verify "$vol/package.001")")
        settle "$vol"/*
        pv+=("$(timed sh -c "cd '$vol' && par2 verify -q -q package.par2")")
    done
    # par2cmdline's default slicing, once: it takes long (for 1 GiB on ZIP100
    # volumes it computes 182 recovery slices over all the data), so only
    # up to 300 MiB.
    block=$(( (total / 2000 + 3) / 4 * 4 ))
    k=$(( (bytes + block - 1) / block ))
    if [ "$mib" -le 300 ]; then
        rm -f "$par"/*.par2
        settle "$par"/package.*
        dflt+=("$(timed sh -c "cd '$par' && par2 create -q -q -b2000 -c$k package.par2 package.[0-9]*")")
    fi
    rm -rf "$vol" && mkdir "$vol"
    rss=$(/usr/bin/time -f %M "$cli" split --size "$size" --recovery 1 -o "$vol/package.001" "${files[@]}" 2>&1 >/dev/null | tail -1)
    local rssv
    rssv=$(/usr/bin/time -f %M "$cli" verify "$vol/package.001" 2>&1 >/dev/null | tail -1)
    local volumes
    volumes=$(ls "$vol"/package.[0-9]* | wc -l)

    local mp mo ms md mov mpv
    mp=$(median "${plain[@]}"); mo=$(median "${ours[@]}"); ms=$(median "${same[@]}")
    md=${dflt[0]:-}; mov=$(median "${ov[@]}"); mpv=$(median "${pv[@]}")
    local rec=$((mo - mp))
    [ "$rec" -gt 0 ] || rec=1
    echo "$label: $mib MiB, $volumes volumes, $runs runs (median)"
    echo "  split                      $(seconds "$mp") s"
    echo "  split --recovery 1         $(seconds "$mo") s (recovery data: $(seconds "$rec") s)"
    echo "  par2 create -s$slice -c1   $(seconds "$ms") s"
    [ -n "$md" ] && echo "  par2 create -b2000 -c$k    $(seconds "$md") s (one run)"
    echo "  tolvane-cli verify         $(seconds "$mov") s"
    echo "  par2 verify                $(seconds "$mpv") s"
    echo "  peak memory: split --recovery $((rss / 1024)) MiB, verify $((rssv / 1024)) MiB"
    rows+=("| $label | $mib MiB, $volumes volumes | $(seconds "$rec") s | $(seconds "$ms") s ($(ratio "$rec" "$ms")) | $([ -n "$md" ] && echo "$(seconds "$md") s ($(ratio "$rec" "$md"))" || echo "not run") | $(seconds "$mo") s vs $(seconds "$((mp + ms))") s ($(ratio "$mo" "$((mp + ms))")) | $(seconds "$mov") s vs $(seconds "$mpv") s ($(ratio "$mov" "$mpv")) | $((rss / 1024)) / $((rssv / 1024)) MiB |")
}

if [ "$quick" -eq 1 ]; then
    measure "1.44 MB" 1.44M 1441792 64
else
    measure "1.44 MB" 1.44M 1441792 300
    measure "ZIP100" zip100 99614720 1024
fi

cpu=$(awk -F': ' '/model name/ { print $2; exit }' /proc/cpuinfo)
{
    echo "# Performance of the recovery data"
    echo
    echo "Made by \`bench/recovery.sh\` (runs: $runs, median; $(date -u +%Y-%m-%d)). Machine: $(nproc) cores of"
    echo "$cpu, Debian 12, $(par2 --version 2>/dev/null | head -1 || echo par2cmdline); the GF(2^16)"
    echo "kernel in use: see \`tolvane-cli\` (AVX2 where the processor has it, else SSSE3, else portable)."
    echo
    echo "Recovery data for N = 1 lost volume. \"Recovery data\" is \`split --recovery 1\` minus a plain"
    echo "\`split\` of the same files; beside it \`par2 create\` over the finished volumes with the same"
    echo "slice size and count, and with par2cmdline's default of 2000 slices and as many recovery slices"
    echo "as make one volume. \"Whole road\" is \`split --recovery 1\` against \`split\` followed by"
    echo "\`par2 create -s -c1\`. Ratios below 1: Tolvane is faster."
    echo
    echo "| Volumes | Data | Recovery data | par2 create, same slices | par2 create, 2000 slices | Whole road | verify vs par2 verify | Peak memory (split --recovery / verify) |"
    echo "|---|---|---|---|---|---|---|---|"
    for row in "${rows[@]}"; do echo "$row"; done
    echo
    echo "Why it is quicker: Tolvane cuts one slice per volume (the least work that still lets any N"
    echo "volumes be rebuilt: N recovery slices), hashes every byte once (a volume of one slice shares"
    echo "the MD5 of the whole file), and multiplies with pshufb tables. par2cmdline's default slicing"
    echo "computes hundreds of recovery slices for the same redundancy, each over all the data."
    echo "\`verify\` reads every volume once for its MD5 and looks at slices only when that fails."
    echo
    echo "The machine is shared with other builds; single runs vary by a factor of two or more."
} > docs/recovery-performance.md
echo "written: docs/recovery-performance.md"
