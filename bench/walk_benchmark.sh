#!/usr/bin/env bash
# Times Folvane's folder walk against two programs that walk the same tree, on warm caches:
#   du -s DIR                   the floor: one metadata query per entry and nothing else
#   tree -a -s -D DIR           a listing of every entry with its size and date
#   walk_driver DIR             Folvane's tree body with the default settings
# Each runs RUNS times (default 7), interleaved; the median wall time and the median peak
# resident set size of each are printed.
#
# usage: bench/walk_benchmark.sh [TREE_DIR]
# environment: RUNS, BUILD_DIR (default build-bench), MAKE_TREE (the tree generator script)
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
tree_dir=${1:-/tmp/folvane-bench-tree}
build_dir=${BUILD_DIR:-$repo/build-bench}
runs=${RUNS:-7}
make_tree=${MAKE_TREE:-$repo/../shared/bench/make-tree.py}

# The tree is generated once (100,000 files in 5,000 folders) and kept for later runs.
if [ ! -d "$tree_dir" ]; then
    python3 "$make_tree" "$tree_dir"
fi

if ! command -v tree > /dev/null; then
    apt-get install -y tree > /dev/null 2>&1 || { apt-get update > /dev/null && apt-get install -y tree > /dev/null; }
fi
if [ ! -x /usr/bin/time ]; then
    apt-get install -y time > /dev/null 2>&1 || { apt-get update > /dev/null && apt-get install -y time > /dev/null; }
fi

cmake -S "$repo" -B "$build_dir" -DFOLVANE_BUILD_BENCHMARKS=ON -DFOLVANE_BUILD_TESTS=OFF > /dev/null
cmake --build "$build_dir" --target walk_driver -j "$(nproc)" > /dev/null
driver=$build_dir/bench/walk_driver

results=$(mktemp -d)
trap 'rm -rf "$results"' EXIT

# One timed run: appends "seconds kilobytes" to the tool's result file.
measure() {
    local name=$1
    shift
    /usr/bin/time -f "%e %M" -o "$results/last" "$@" > /dev/null 2>&1
    cat "$results/last" >> "$results/$name"
}

# Warm the caches once with each program, then the measured runs.
du -s "$tree_dir" > /dev/null
tree -a -s -D "$tree_dir" > /dev/null
"$driver" "$tree_dir" > /dev/null
for _ in $(seq "$runs"); do
    measure du du -s "$tree_dir"
    measure tree tree -a -s -D "$tree_dir"
    measure folvane "$driver" "$tree_dir"
done

median() {
    sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

echo "tree: $tree_dir ($(find "$tree_dir" -type f | wc -l) files, $(find "$tree_dir" -mindepth 1 -type d | wc -l) folders); $runs runs each; $(nproc) processors"
echo "$("$driver" "$tree_dir")"
printf '%-8s %12s %14s\n' program "median wall" "median peak RSS"
for name in du tree folvane; do
    wall=$(cut -d' ' -f1 "$results/$name" | median)
    rss=$(cut -d' ' -f2 "$results/$name" | median)
    printf '%-8s %10.3f s %11.1f MB\n' "$name" "$wall" "$(awk -v kb="$rss" 'BEGIN { print kb / 1024 }')"
done
