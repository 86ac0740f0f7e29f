#!/usr/bin/env bash
# Times whole folvane-cli runs, as a user waits for them, against programs that walk the same
# trees, on warm caches:
#   du -s DIR                        the floor: one metadata query per entry and nothing else
#   tree -a -s -D DIR > /dev/null    a listing of every entry with its size and date
#   7z h -scrcCRC32 DIR              the CRC-32 of every file
#   folvane-cli /A DIR out.txt       the default text listing
#   folvane-cli /A /LT 1 DIR out.htm the HTML listing
#   folvane-cli /A /VC DIR out.txt   the text listing with the CRC column
# The runs are interleaved (one of each, then again), RUNS times each. For every tree it prints
# the median wall time, its ratios to du -s, to tree and (for the CRC column) to 7z h, the median
# peak resident set size, and whether the aims are met. The aims are information: the script
# exits 0 whether they are met or not, and non-zero only when a program fails.
#
# usage: bench/listing_benchmark.sh [--trees 100k|1m|all] [--cli FOLVANE_CLI]
#   --trees    which trees (default 100k; also BENCH_TREES). The 1m tree has 1,000,000 files in
#              50,000 folders; generating it the first time takes minutes (1.5 on a 2-core machine)
#              and takes about 4 GB of disk.
#   --cli      the folvane-cli to time (also FOLVANE_CLI); by default build-bench/app/console/
#              folvane-cli, built here with optimisation.
# environment: RUNS (default 7), TREE_100K (default /tmp/folvane-bench-100k), TREE_1M (default
#   /tmp/folvane-bench-1m), MAKE_TREE (the tree generator), BUILD_DIR (default build-bench)
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
runs=${RUNS:-7}
trees=${BENCH_TREES:-100k}
cli=${FOLVANE_CLI:-}
build_dir=${BUILD_DIR:-$repo/build-bench}
make_tree=${MAKE_TREE:-$repo/../shared/bench/make-tree.py}
tree_100k=${TREE_100K:-/tmp/folvane-bench-100k}
tree_1m=${TREE_1M:-/tmp/folvane-bench-1m}

usage() {
    sed -n '/^# usage:/,/^set -euo/p' "$0" | sed '$d; s/^# \{0,1\}//' >&2
    exit 2
}

while (($#)); do
    case $1 in
        --trees) trees=${2:?}; shift 2 ;;
        --cli) cli=${2:?}; shift 2 ;;
        *) usage ;;
    esac
done
case $trees in
    100k | 1m) ;;
    all) trees="100k 1m" ;;
    *) usage ;;
esac

# The programs this script runs, each with the Debian package that has it.
missing=()
for need in tree:tree 7z:p7zip-full /usr/bin/time:time python3:python3; do
    command -v "${need%%:*}" > /dev/null || missing+=("${need#*:}")
done
if ((${#missing[@]})); then
    echo "== installing: ${missing[*]}"
    apt-get -o DPkg::Lock::Timeout=600 update -qq
    DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends \
        "${missing[@]}" > /dev/null
fi

if [ -z "$cli" ]; then
    echo "== building folvane-cli in $build_dir"
    cmake -S "$repo" -B "$build_dir" -DFOLVANE_BUILD_BENCHMARKS=ON -DFOLVANE_BUILD_TESTS=OFF \
        -DCMAKE_BUILD_TYPE=Release > /dev/null
    cmake --build "$build_dir" --target folvane-cli -j "$(nproc)" > /dev/null
    cli=$build_dir/app/console/folvane-cli
fi
[ -x "$cli" ] || { echo "no folvane-cli at $cli" >&2; exit 1; }
cli=$(cd "$(dirname "$cli")" && pwd)/$(basename "$cli")
# A settings file beside the program would change what it lists.
[ -e "$(dirname "$cli")/Folvane.ini" ] && echo "note: $(dirname "$cli")/Folvane.ini is read by every run"

# tree_dir <name>: the folder of a tree, generated the first time; an interrupted generation is
# started again, never taken for a whole tree.
tree_dir() {
    local dir arguments
    case $1 in
        100k) dir=$tree_100k arguments=() ;;
        1m) dir=$tree_1m arguments=(--files 1000000 --folders 50000 --mean-size 256) ;;
    esac
    if [ ! -d "$dir" ]; then
        echo "== generating the $1 tree in $dir${arguments[*]:+ (${arguments[*]}); this takes a while}" >&2
        rm -rf "$dir.partial"
        python3 "$make_tree" "$dir.partial" "${arguments[@]}" >&2
        mv "$dir.partial" "$dir"
    fi
    echo "$dir"
}

scratch=$(mktemp -d /tmp/folvane-listing-bench-XXXXXX)
trap 'rm -rf "$scratch"' EXIT

tools=(du tree 7z text html crc)
declare -A label=([du]="du -s" [tree]="tree -a -s -D" [7z]="7z h -scrcCRC32"
    [text]="folvane-cli /A" [html]="folvane-cli /A /LT 1" [crc]="folvane-cli /A /VC")

# command_of <tool> <dir>: sets command to the tool's command on dir, its listing going into the
# scratch folder. The command runs directly under time, so its own peak memory is measured.
command_of() {
    local dir=$2
    case $1 in
        du) command=(du -s "$dir") ;;
        tree) command=(tree -a -s -D "$dir") ;;
        7z) command=(7z h -scrcCRC32 "$dir") ;;
        text) command=("$cli" /A "$dir" "$scratch/out.txt") ;;
        html) command=("$cli" /A /LT 1 "$dir" "$scratch/out.htm") ;;
        crc) command=("$cli" /A /VC "$dir" "$scratch/out.txt") ;;
    esac
}

# measure <tool> <dir> <results file>: one timed run; appends "seconds kilobytes".
measure() {
    local command status=0
    command_of "$1" "$2"
    /usr/bin/time -f "%e %M" -o "$scratch/time" "${command[@]}" > /dev/null 2> "$scratch/stderr" || status=$?
    rm -f "$scratch/out.txt" "$scratch/out.htm"
    if ((status != 0)); then
        echo "${label[$1]} failed on $2 (exit $status):" >&2
        tail -n 5 "$scratch/stderr" >&2
        exit 1
    fi
    tail -n 1 "$scratch/time" >> "$3"
}

median() {
    sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }'; }

# aim <text> <value> <limit>: PASS when value <= limit.
aim() {
    awk -v text="$1" -v v="$2" -v limit="$3" \
        'BEGIN { printf "  %-4s %s (%.2f, aim %.2f)\n", (v <= limit) ? "PASS" : "MISS", text, v, limit }'
}

bench_tree() {
    local name=$1 dir tool round
    dir=$(tree_dir "$name")
    local results=$scratch/results-$name
    mkdir -p "$results"
    # Warm the caches: one untimed run of each.
    for tool in "${tools[@]}"; do measure "$tool" "$dir" /dev/null; done
    for ((round = 1; round <= runs; ++round)); do
        for tool in "${tools[@]}"; do measure "$tool" "$dir" "$results/$tool"; done
    done

    declare -A wall rss
    for tool in "${tools[@]}"; do
        wall[$tool]=$(cut -d' ' -f1 "$results/$tool" | median)
        rss[$tool]=$(cut -d' ' -f2 "$results/$tool" | median | awk '{ printf "%.1f", $1 / 1024 }')
    done

    echo
    echo "tree $name: $dir ($(find "$dir" -type f | wc -l) files, $(find "$dir" -mindepth 1 -type d | wc -l) folders)"
    echo "$runs runs each, interleaved, warm caches; $(nproc) processors; $cli"
    printf '%-22s %9s %8s %8s %8s %12s\n' tool "median s" "x du" "x tree" "x 7z h" "peak RSS MB"
    for tool in "${tools[@]}"; do
        local against7z=-
        case $tool in crc | 7z) against7z=$(ratio "${wall[$tool]}" "${wall[7z]}") ;; esac
        printf '%-22s %9.2f %8s %8s %8s %12s\n' "${label[$tool]}" "${wall[$tool]}" \
            "$(ratio "${wall[$tool]}" "${wall[du]}")" "$(ratio "${wall[$tool]}" "${wall[tree]}")" \
            "$against7z" "${rss[$tool]}"
    done
    echo "aims:"
    aim "text listing / du -s" "$(ratio "${wall[text]}" "${wall[du]}")" 1.3
    aim "text listing / tree" "$(ratio "${wall[text]}" "${wall[tree]}")" 0.5
    aim "CRC column / 7z h" "$(ratio "${wall[crc]}" "${wall[7z]}")" 0.8
    if [ "$name" = 1m ]; then
        aim "text listing peak RSS MB" "${rss[text]}" 64
        aim "HTML listing peak RSS MB" "${rss[html]}" 64
    fi
}

for name in $trees; do bench_tree "$name"; done
