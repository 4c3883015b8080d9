#!/usr/bin/env bash
# Peak memory and time of the whole inventory of simulated machines
# (kvlhost --machine FILE: the machine file read, collected, every class
# printed), in both output formats.
#
#   bench/sim/machine_inventory.sh [--kvlhost PATH] [--runs N] [COUNT...]
#
# COUNTs (default: 1000 10000) are adapter counts; each machine file is made
# by bench/sim/large_machine.py. Each figure is the median of N runs
# (default 5) after one warm-up run, output sent to /dev/null; peak RSS is
# the kernel's count for the finished process.
set -euo pipefail
script=$(realpath "$0")
cd "$(dirname "$0")/../.."
source bench/bench_options.sh
read_bench_options "$script" 2,11 "1000 10000" "$@"

machine=$(mktemp --suffix=.json)
trap 'rm -f "$machine"' EXIT

printf '%8s  %12s  %6s  %14s  %14s  %10s\n' adapters "machine file" format "time (ms)" "peak RSS (MB)" "output (MB)"
for count in "${counts[@]}"; do
    python3 bench/sim/large_machine.py "$count" >"$machine"
    file_mb=$(python3 -c "import os, sys; print(f'{os.path.getsize(sys.argv[1]) / 1e6:.1f} MB')" "$machine")
    for format in json mof; do
        read -r ms peak output < <(python3 bench/measure.py "$runs" "$kvlhost" --machine "$machine" --format "$format")
        printf '%8d  %12s  %6s  %14s  %14s  %10s\n' "$count" "$file_mb" "$format" "$ms" "$peak" "$output"
    done
done
