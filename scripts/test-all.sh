#!/usr/bin/env bash
# Builds the native and the sanitizer builds and runs every test in both,
# then the fuzz targets on their committed inputs and the Windows build.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh default asan
status=0
for preset in default asan; do
    echo "== tests of the $preset build"
    ctest --preset "$preset" -j "$(nproc 2>/dev/null || echo 2)" || status=1
done

# Each fuzz target for a fixed number of executions on its committed
# inputs, so that the targets keep building and passing; long runs are
# scripts/fuzz.sh.
scripts/setup.sh fuzz
echo "== fuzz targets"
ctest --preset fuzz || status=1

# The Windows build, its tests run under Wine in a throwaway prefix.
scripts/setup.sh mingw
echo "== tests of the mingw build under Wine"
ctest --preset mingw || status=1
exit $status
