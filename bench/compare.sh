#!/usr/bin/env bash
# Measures tolvane-cli against 7-Zip's store-only volumes and coreutils (and
# tar for many small files) in one run, interleaved: every round runs each
# side once, in an order that rotates from round to round, and every command
# is followed by `sync -f` of what it wrote, so that each side ends with its
# data on the medium. A ratio is ours divided by the other side's time in the
# same round; the table shows the median of the rounds and their spread.
#
#   bench/compare.sh [--cli PATH] [--dir DIR] [--rounds N] [--mib N] [--sizes LIST]
#                    [--small N] [--quick] [--doc FILE] [--gui PATH]
#
# --cli     tolvane-cli to measure (default: build/bin/tolvane-cli)
# --dir     folder for data and results (default: $TMPDIR or /var/tmp)
# --rounds  rounds per comparison (default 5)
# --mib     size of the mixed data in MiB (default 350)
# --sizes   volume sizes in bytes, comma-separated (default: 1.44 MB, ZIP100, 650 MiB)
# --small   number of small files (100-149 bytes) for the many-files case (default 9999)
# --quick   a smoke run: 8 MiB, one volume size, 300 small files, 1 round, no table checks
# --doc     also measure in /dev/shm and write the whole report (markdown) to FILE
# --gui     the GUI measurement (default: build/bin/gui_bench); with --doc its table
#           (the wizards against tolvane-cli, offscreen) goes into the report
#
# Needs: 7z (p7zip-full), tar, dd, perl, GNU time (/usr/bin/time, for the peak memory).
# Exits with 77 when 7z is missing (the smoke test then counts as skipped).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

cli=build/bin/tolvane-cli
base=${TMPDIR:-/var/tmp}
rounds=5
mib=350
sizes="1441792,99614720,681574400"
small=9999
doc=
gui=build/bin/gui_bench
quick=0
while [ $# -gt 0 ]; do
    case $1 in
        --cli) cli=$2; shift 2 ;;
        --dir) base=$2; shift 2 ;;
        --rounds) rounds=$2; shift 2 ;;
        --mib) mib=$2; shift 2 ;;
        --sizes) sizes=$2; shift 2 ;;
        --small) small=$2; shift 2 ;;
        --doc) doc=$2; shift 2 ;;
        --gui) gui=$2; shift 2 ;;
        --quick) quick=1; mib=8; sizes=1441792; small=300; rounds=1; shift ;;
        *) echo "unknown option: $1" >&2; exit 2 ;;
    esac
done
cli=$(realpath "$cli")
[ -x "$cli" ] || { echo "no tolvane-cli at $cli (build it first)" >&2; exit 2; }
command -v 7z >/dev/null || { echo "7z is needed (package p7zip-full)" >&2; exit 77; }
for tool in tar dd perl /usr/bin/time; do
    command -v "$tool" >/dev/null || { echo "$tool is needed" >&2; exit 2; }
done

cleanup=()
trap 'rm -rf "${cleanup[@]}"' EXIT

now() { date +%s%N; }
# Wall time in nanoseconds of a command followed by `sync -f` of a folder.
timed() {
    local folder=$1 start end
    shift
    start=$(now)
    "$@" >/dev/null 2>&1 || { echo "failed: $*" >&2; exit 1; }
    sync -f "$folder"
    end=$(now)
    echo $((end - start))
}
# Before each command: nothing left to write back, the inputs in the cache.
settle() {
    [ $# -eq 0 ] || cat "$@" >/dev/null
    sync
}
stats() {  # median, minimum and maximum of the arguments
    printf '%s\n' "$@" | sort -g | awk '{ a[NR] = $1 } END { printf "%s %s %s", a[int((NR + 1) / 2)], a[1], a[NR] }'
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", a / b }'; }
seconds() { awk -v ns="$1" 'BEGIN { printf "%.2f", ns / 1e9 }'; }

# One comparison: NAME, then for each side "label@folder@prepare@command"
# (prepare runs untimed before every run of that side). Prints a table row
# per other side: ratio median (min-max), and the median seconds of both.
compare() {
    local name=$1
    shift
    local sides=("$@") n=${#sides[@]} r i k
    declare -A times
    for ((r = 0; r < rounds; r++)); do
        for ((k = 0; k < n; k++)); do
            i=$(((k + r) % n))
            # Every run writes into folders of its own round (%R% in a side):
            # files deleted just before would make the file system's inode
            # allocation slow for whoever runs next.
            IFS='@' read -r label folder prepare command <<<"${sides[$i]//%R%/$r}"
            mkdir -p "$folder"
            eval "$prepare"
            settle
            times[$i,$r]=$(timed "$folder" bash -c "$command")
        done
    done
    # Only the first round's results stay (later comparisons read them).
    for ((r = 1; r < rounds; r++)); do
        for ((i = 0; i < n; i++)); do
            IFS='@' read -r label folder prepare command <<<"${sides[$i]//%R%/$r}"
            rm -rf "$folder"
        done
    done
    local ours=() t s other
    for ((r = 0; r < rounds; r++)); do ours+=("${times[0,$r]}"); done
    read -r om _ _ <<<"$(stats "${ours[@]}")"
    for ((i = 1; i < n; i++)); do
        local ratios=() theirs=()
        for ((r = 0; r < rounds; r++)); do
            ratios+=("$(ratio "${times[0,$r]}" "${times[$i,$r]}")")
            theirs+=("${times[$i,$r]}")
        done
        read -r rm rl rh <<<"$(stats "${ratios[@]}")"
        read -r tm _ _ <<<"$(stats "${theirs[@]}")"
        other=${sides[$i]%%@*}
        printf '| %s | %s | **%s** (%s–%s) | %s s | %s s |\n' "$name" "$other" "$rm" "$rl" "$rh" \
            "$(seconds "$om")" "$(seconds "$tm")"
    done
}

peak() {  # peak resident set of a command in KiB
    /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -1
}

# Runs every comparison with data and results under $1; prints markdown.
measure() {
    local work
    work=$(mktemp -d "$1/tolvane-compare.XXXXXX")
    cleanup+=("$work")
    mkdir -p "$work/data"
    local total=$((mib * 1048576))
    # Mixed data: random bytes, zero bytes, a tiny and an empty file.
    head -c $((total * 5 / 8)) /dev/urandom >"$work/data/random1.bin"
    head -c $((total / 8)) /dev/urandom >"$work/data/random2.bin"
    head -c $((total - total * 5 / 8 - total / 8 - 100)) /dev/zero >"$work/data/zeros.bin"
    head -c 100 /dev/urandom >"$work/data/tiny.txt"
    : >"$work/data/empty.txt"
    local files=("$work"/data/random1.bin "$work"/data/random2.bin "$work"/data/zeros.bin
                 "$work"/data/tiny.txt "$work"/data/empty.txt)
    sync

    echo "| Operation | Against | Ratio: median (spread) | tolvane-cli | other side |"
    echo "|---|---|---|---|---|"
    local size volumes
    for size in ${sizes//,/ }; do
        local v="$work/v$size"
        local tag
        case $size in
            1441792) tag="1.44 MB" ;; 99614720) tag="ZIP100" ;; 681574400) tag="650 MiB" ;;
            *) tag="$size B" ;;
        esac
        compare "split, $tag" \
            "tolvane-cli@$v/t.%R%@:@$cli split --size $size -o $v/t.%R%/package.001 ${files[*]}" \
            "7z a -mx0 -v${size}b@$v/z.%R%@:@cd $work/data && 7z a -mx0 -v${size}b $v/z.%R%/a.7z ${files[*]##*/}" \
            "cat \\| split -b@$v/c.%R%@:@cat ${files[*]} | split -b $size -d -a 3 - $v/c.%R%/part."
        volumes=$(ls "$v/t.0" | wc -l)
        compare "extract, $tag ($volumes volumes)" \
            "tolvane-cli@$v/to.%R%@:@$cli extract $v/t.0/package.001 -d $v/to.%R%" \
            "7z x@$v/zo.%R%@:@7z x -o$v/zo.%R% $v/z.0/a.7z.001" \
            "cat part.* >@$v/co.%R%@:@cat $v/c.0/part.* >$v/co.%R%/whole"
        for f in "${files[@]}"; do
            cmp -s "$f" "$v/to.0/${f##*/}" || { echo "restored ${f##*/} differs" >&2; exit 1; }
        done
        if [ "$size" = 99614720 ] && [ "$volumes" -ge 3 ]; then
            # Volume 2 again from volume 1 and the originals, and the restore
            # continued at volume 2, against dd writing the same bytes.
            compare "repair of volume 2, $tag" \
                "tolvane-cli@$v/r.%R%@:@$cli repair $v/t.0/package.001 --number 2 --sources $work/data -o $v/r.%R%" \
                "dd conv=fsync@$v/d.%R%@:@dd if=$v/t.0/package.002 of=$v/d.%R%/package.002 bs=1M conv=fsync status=none"
            cmp -s "$v/t.0/package.002" "$v/r.0/package.002" || { echo "repaired volume differs" >&2; exit 1; }
            compare "continue at volume 2, $tag" \
                "tolvane-cli@$v/to.0@:@$cli continue $v/t.0/package.001 -d $v/to.0 --from 2 --overwrite" \
                "dd conv=fsync@$v/d.%R%@:@cat $(printf '%s ' "$v"/t.0/package.00[2-9]) | dd of=$v/d.%R%/rest bs=1M conv=fsync status=none"
        fi
        rm -rf "$v/m" "$v/mo"
        mkdir -p "$v/m" "$v/mo"
        local ps pe
        ps=$(peak "$cli" split --size "$size" -o "$v/m/package.001" "${files[@]}")
        pe=$(peak "$cli" extract "$v/m/package.001" -d "$v/mo")
        peaks+="| $mib MiB, $tag | $ps KiB | $pe KiB |"$'\n'
        rm -rf "$v"
    done

    # Many small files on 1.44 MB volumes.
    local s="$work/small"
    mkdir -p "$s/in" "$s/t" "$s/z" "$s/x"
    perl -e '
        my ($folder, $count) = @ARGV;
        srand(14);
        for my $i (1 .. $count) {
            my $n = 100 + int(rand(50));
            open(my $f, ">", sprintf("%s/f%05d.txt", $folder, $i)) or die;
            binmode $f;
            print $f join("", map { chr(int(rand(256))) } 1 .. $n);
            close $f;
        }' "$s/in" "$small"
    sync
    (cd "$s/in" && "$cli" split --size 1441792 -o "$s/t/package.001" f*.txt >/dev/null)
    (cd "$s/in" && 7z a -mx0 -v1441792b "$s/z/a.7z" f*.txt >/dev/null)
    (cd "$s/in" && tar -cf "$s/x/a.tar" f*.txt)
    compare "split, $small files of 100–149 bytes, 1.44 MB" \
        "tolvane-cli@$s/ts.%R%@:@cd $s/in && $cli split --size 1441792 -o $s/ts.%R%/package.001 f*.txt" \
        "7z a -mx0 -v1441792b@$s/zs.%R%@:@cd $s/in && 7z a -mx0 -v1441792b $s/zs.%R%/a.7z f*.txt" \
        "tar -cf@$s/xs.%R%@:@cd $s/in && tar -cf $s/xs.%R%/a.tar f*.txt"
    compare "extract, $small files of 100–149 bytes, 1.44 MB" \
        "tolvane-cli@$s/to.%R%@:@$cli extract $s/t/package.001 -d $s/to.%R%" \
        "7z x@$s/zo.%R%@:@7z x -o$s/zo.%R% $s/z/a.7z.001" \
        "tar -xf@$s/xo.%R%@:@tar -xf $s/x/a.tar -C $s/xo.%R%"
    diff -r "$s/in" "$s/to.0" >/dev/null || { echo "restored small files differ" >&2; exit 1; }
    mkdir -p "$s/mo"
    pe=$(peak "$cli" extract "$s/t/package.001" -d "$s/mo")
    peaks+="| $small small files, 1.44 MB | – | $pe KiB |"$'\n'
    rm -rf "$work"
}

machine() {
    local cpu fs
    cpu=$(awk -F': ' '/model name/ { print $2; exit }' /proc/cpuinfo)
    fs=$(df -PT "$1" | awk 'NR == 2 { print $2 }')
    echo "$(nproc) cores ($cpu), $(awk '/MemTotal/ { printf "%.0f GiB", $2 / 1048576 }' /proc/meminfo) RAM," \
        "Linux $(uname -r), $fs file system under $1"
}

run() {  # a whole measurement under folder $1, as markdown
    peaks=""
    echo "Machine: $(machine "$1"). Date: $(date -u '+%Y-%m-%d %H:%M UTC'). Load before the run: $(cut -d' ' -f1-3 /proc/loadavg)."
    echo
    measure "$1"
    echo
    echo "Peak memory of tolvane-cli (maximum resident set):"
    echo
    echo "| Data | split | extract |"
    echo "|---|---|---|"
    printf '%s' "$peaks"
}

intro() {
    cat <<'TEXT'
# Performance of split, extract, repair and continue

This file is written by `bench/compare.sh --doc docs/performance.md`; do not edit it by hand,
run the script again. It compares `tolvane-cli` (release build) with 7-Zip's store-only
volumes and with coreutils, and for many small files with `tar`, on the same data in the same
run:

- Mixed data: random bytes (5/8 and 1/8 of the size), zero bytes, a tiny (100-byte) and an
  empty file. Many small files: files of 100 to 149 random bytes.
- Split: `tolvane-cli split --size SIZE -o DIR/package.001 FILE...` against
  `7z a -mx0 -vSIZEb` and `cat FILE... | split -b SIZE` (and `tar -cf` for the small files).
- Extract: `tolvane-cli extract DIR/package.001 -d OUT` against `7z x` of 7-Zip's volumes,
  `cat part.* > whole` of the split pieces, and `tar -xf`.
- Repair: `tolvane-cli repair` of volume 2 from volume 1 and the originals, against
  `dd conv=fsync` writing the same bytes. Continue: `tolvane-cli continue --from 2` (volumes 2
  to the last into files restored before), against `dd conv=fsync` of the same volumes.
- Every command is followed by `sync -f` of the folder it wrote, so each side ends with its
  data on the medium (tolvane-cli already has: see `docs/durability.md`); the time includes the
  sync. Before each command `sync` leaves nothing to write back; the inputs are in the cache.
- Rounds: each round runs every side of a comparison once, in an order that rotates from
  round to round. The ratio is tolvane-cli's time divided by the other side's time in the same
  round; the table shows the median ratio and, in brackets, the lowest and the highest. A ratio
  below 1 means tolvane-cli was faster. The times are the medians of the rounds.

The machine is shared with other work (builds run beside the measurement), which makes single
times vary a lot; the ratios of the same round are what to compare. The in-memory run shows
what is the disk's and what is the programs': in `/dev/shm` nothing waits for a device.
TEXT
}

command_line="bench/compare.sh --rounds $rounds --mib $mib --sizes $sizes --small $small"
if [ -z "$doc" ]; then
    run "$base"
    exit 0
fi

disk=$(run "$base")
shm=$(run /dev/shm)
guitable=
if [ -x "$gui" ]; then
    guitable=$(TMPDIR=$base QT_QPA_PLATFORM=offscreen "$gui" 2>/dev/null | grep '^|')
fi
{
    intro
    echo
    echo "## On the disk"
    echo
    echo "Made with \`$command_line --dir $base --doc docs/performance.md\`."
    echo
    echo "$disk"
    echo
    echo "## In memory (/dev/shm)"
    echo
    echo "The same run with data and results in \`/dev/shm\` (tmpfs): no device to wait for, so what"
    echo "remains is the work of the programs themselves."
    echo
    echo "$shm"
    if [ -n "$guitable" ]; then
        echo
        echo "## The window against the command line"
        echo
        echo "\`$gui\` (built with the tests) drives the wizards offscreen on data under \`$base\`"
        echo "and runs \`tolvane-cli\` on the same data, five interleaved rounds, each side followed by"
        echo "\`syncfs\`; the window shows its progress as often as it does for a user. The time runs"
        echo "from the press of Start to the completion page."
        echo
        echo "$guitable"
    fi
} >"$doc"
echo "wrote $doc"
