#!/usr/bin/env bash
# Long fuzzing campaigns with the libFuzzer harnesses of tests/fuzz.
#   scripts/fuzz-campaign.sh [seconds per harness] [harness ...]
# Runs every harness (or the ones named, e.g. fuzz_html) for the given time (default 600 s),
# FOLVANE_FUZZ_JOBS of them at once (default 1). Corpora, crash inputs and logs live in
# FOLVANE_FUZZ_DIR (default ~/.cache/folvane-fuzz), outside the repository, so a campaign goes on
# where the last one stopped; the repository's seeds are copied in, never written to. Prints the
# executions, coverage and features of each harness, lists every crash input and ends with
# status 1 when there is one. Extra libFuzzer flags may be given in FOLVANE_FUZZ_FLAGS.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)

seconds=${1:-600}
shift || true
harnesses=("$@")
if ((${#harnesses[@]} == 0)); then
    harnesses=(fuzz_settings_file fuzz_command_line fuzz_html fuzz_pe_version fuzz_text_width fuzz_wild_match)
fi
work=${FOLVANE_FUZZ_DIR:-$HOME/.cache/folvane-fuzz}
jobs=${FOLVANE_FUZZ_JOBS:-1}
mkdir -p "$work"
work=$(cd "$work" && pwd)

scripts/bootstrap.sh fuzzers

# fuzz <harness>: one campaign; its log is <work>/logs/<harness>.log.
fuzz() {
    local harness=$1
    local corpus=$work/corpus/$harness crashes=$work/crashes/$harness log=$work/logs/$harness.log
    local flags=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
                 -artifact_prefix="$crashes/")
    mkdir -p "$corpus" "$crashes" "$work/logs"
    cp -n "$repo/tests/fuzz/corpus/$harness/"* "$corpus/"
    local dictionary=$repo/tests/fuzz/dict/$harness.dict
    [ -f "$dictionary" ] && flags+=(-dict="$dictionary")
    # Paths are absolute: a harness may work in a folder of its own.
    # shellcheck disable=SC2086
    "$repo/build-fuzz/tests/fuzz/$harness" "${flags[@]}" ${FOLVANE_FUZZ_FLAGS:-} "$corpus" >"$log" 2>&1 || true
}

# summary <harness>: executions, coverage and features from the end of its log.
summary() {
    local harness=$1 log=$work/logs/$1.log
    local runs cov ft
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    cov=$(grep -o 'cov: [0-9]*' "$log" | tail -n 1 | cut -d' ' -f2)
    ft=$(grep -o 'ft: [0-9]*' "$log" | tail -n 1 | cut -d' ' -f2)
    printf '%-20s %12s executions  cov %6s  ft %6s  corpus %5s files\n' "$harness" "${runs:-?}" "${cov:-?}" \
        "${ft:-?}" "$(find "$work/corpus/$harness" -type f | wc -l)"
}

echo "== $seconds s per harness, $jobs at once; corpora, crashes and logs in $work"
running=0
for harness in "${harnesses[@]}"; do
    fuzz "$harness" &
    running=$((running + 1))
    if ((running >= jobs)); then
        wait -n
        running=$((running - 1))
    fi
done
wait

for harness in "${harnesses[@]}"; do
    summary "$harness"
done
found=$(find "${harnesses[@]/#/$work/crashes/}" -type f 2>/dev/null | sort)
if [ -n "$found" ]; then
    echo "== crash inputs (rerun one with: build-fuzz/tests/fuzz/<harness> <file>):"
    echo "$found"
    exit 1
fi
echo "== no crash inputs"
