#!/usr/bin/env bash
# Runs every fuzz target for SECONDS each (default 60) on a scratch copy of
# its committed inputs, then prints per target the executions, the coverage
# (edges and features) and the findings. A finding's input is kept in
# build/fuzz/findings/; the exit status is 1 when there is any.
#
#   scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
scripts/setup.sh fuzz >/dev/null

findings=build/fuzz/findings
mkdir -p "$findings"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

status=0
printf '%-18s %12s %8s %8s %9s\n' target executions cov ft findings
for binary in build/fuzz/bin/fuzz_*; do
    name=${binary##*/fuzz_}
    corpus=$scratch/$name
    mkdir -p "$corpus"
    for folder in tests/fuzz/corpus/$name tests/fuzz/regressions/$name; do
        if [ -d "$folder" ]; then cp "$folder"/* "$corpus"/; fi
    done
    log=$scratch/$name.log
    dictionary=()
    if [ -f "tests/fuzz/$name.dict" ]; then dictionary=(-dict="tests/fuzz/$name.dict"); fi
    # -timeout: an input that takes longer is a hang and a finding (the
    # bound leaves room for a machine shared with other work).
    "$binary" -max_total_time="$seconds" -timeout=30 -print_final_stats=1 "${dictionary[@]}" \
        -artifact_prefix="$findings/$name-" "$corpus" >"$log" 2>&1 || true
    executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    coverage=$(grep -E '^#[0-9]+' "$log" | grep -o 'cov: [0-9]*' | tail -1 | cut -d' ' -f2)
    features=$(grep -E '^#[0-9]+' "$log" | grep -o 'ft: [0-9]*' | tail -1 | cut -d' ' -f2)
    found=$(grep -cE '^(==[0-9]+==ERROR|SUMMARY: |.*invariant broken)' "$log" || true)
    printf '%-18s %12s %8s %8s %9s\n' "$name" "${executions:-?}" "${coverage:-?}" "${features:-?}" "$found"
    if [ "$found" != 0 ] || [ -z "$executions" ]; then
        status=1
        cp "$log" "$findings/$name.log"
        echo "   see $findings/$name.log" >&2
    fi
done
exit $status
