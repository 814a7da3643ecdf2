#!/usr/bin/env bash
# Builds the fuzz preset and runs every libFuzzer target under fuzz/ for SECONDS each (default
# 60), one after the other, starting from its seed corpus (fuzz/<target>/corpus) and a working
# corpus of its own (build/fuzz/corpus/<target>, kept between runs). With RUNS, a target also
# stops after that many runs. Prints runs, coverage and findings per target; findings (the
# inputs that failed) land in build/fuzz/findings/<target>/. Exits 1 when a target found one.
#
# Usage: scripts/fuzz.sh [SECONDS] [RUNS]
#   ZRT_FUZZ_TARGETS="frame hall" limits the targets; ZRT_FUZZ_NO_BUILD=1 runs the targets as
#   built (a long campaign while the tree changes); ZRT_FUZZ_OUT=DIR takes the binaries from
#   DIR/bin and keeps corpora, findings and logs under DIR instead of build/fuzz (two campaigns
#   side by side, or one from a copy of the binaries). A target's folder may hold `flags`: further
#   libFuzzer options for it, on one line.
set -uo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
runs=${2:-}

if [ -z "${ZRT_FUZZ_NO_BUILD:-}" ]; then
    cmake --preset fuzz >/dev/null || exit 2
    cmake --build --preset fuzz -j "$(nproc)" >/dev/null || { echo "fuzz build failed"; exit 2; }
fi

out=${ZRT_FUZZ_OUT:-build/fuzz}
mkdir -p "$out/logs"
targets=()
for dir in fuzz/*/corpus; do
    name=$(basename "$(dirname "$dir")")
    if [ -n "${ZRT_FUZZ_TARGETS:-}" ] && [[ " $ZRT_FUZZ_TARGETS " != *" $name "* ]]; then continue; fi
    targets+=("$name")
done

printf '%-16s %10s %8s %8s %8s %8s  %s\n' target runs seconds cov ft corpus findings
failed=0
for name in "${targets[@]}"; do
    bin=$out/bin/fuzz_$name
    work=$out/corpus/$name
    findings=$out/findings/$name
    log=$out/logs/$name.log
    mkdir -p "$work" "$findings"
    flags=()
    [ -f "fuzz/$name/flags" ] && read -r -a flags <"fuzz/$name/flags"
    [ -n "$runs" ] && flags+=("-runs=$runs")
    before=$(ls "$findings" | wc -l)
    start=$(date +%s)
    "$bin" -max_total_time="$seconds" -timeout=60 -rss_limit_mb=2560 -print_final_stats=1 \
        -artifact_prefix="$findings/" "${flags[@]}" "$work" "fuzz/$name/corpus" >"$log" 2>&1
    rc=$?
    took=$(($(date +%s) - start))
    done_runs=$(grep -o 'stat::number_of_executed_units: [0-9]*' "$log" | tail -1 | awk '{print $2}')
    last=$(grep -E '^#[0-9]+.*cov: ' "$log" | tail -1)
    cov=$(sed -n 's/.*cov: \([0-9]*\).*/\1/p' <<<"$last")
    ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$last")
    corpus=$(sed -n 's/.* corp: \([0-9]*\/[0-9a-zA-Z]*\).*/\1/p' <<<"$last")
    found=$(($(ls "$findings" | wc -l) - before))
    verdict=none
    if [ "$rc" -ne 0 ] || [ "$found" -ne 0 ]; then
        verdict="$found (exit $rc; see $log)"
        failed=1
    fi
    printf '%-16s %10s %8s %8s %8s %8s  %s\n' "$name" "${done_runs:-?}" "$took" "${cov:-?}" \
        "${ft:-?}" "${corpus:-?}" "$verdict"
done
exit $failed
