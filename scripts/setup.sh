#!/usr/bin/env bash
# Installs what the project needs on Debian 12 and builds the given CMake
# presets. Safe to run again: packages already present are skipped, and an
# existing build folder is only brought up to date.
#
#   scripts/setup.sh [PRESET...]      (default: default)
#
# SETUP_TARGET, when set, names the one target to build (with what it
# needs) instead of everything.
set -euo pipefail

cd "$(dirname "$0")/.."

packages=(
    g++ cmake ninja-build pkg-config python3 iproute2
    libboost-dev libgtest-dev libgmock-dev googletest libbenchmark-dev
    nlohmann-json3-dev libcli11-dev
)

presets=("$@")
((${#presets[@]})) || presets=(default)
for preset in "${presets[@]}"; do
    case "$preset" in
        # The fuzz targets need clang and its libFuzzer run time.
        fuzz) packages+=(clang libclang-rt-14-dev) ;;
        # The Windows build's tests run under Wine (the 64-bit loader is enough).
        mingw) packages+=(mingw-w64 g++-mingw-w64-x86-64-posix wine wine64) ;;
    esac
done

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
if ((${#missing[@]})); then
    echo "setup: installing ${missing[*]}" >&2
    if [ "$(id -u)" -ne 0 ]; then
        echo "setup: run as root (or install these packages first)" >&2
        exit 1
    fi
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

jobs=$(nproc 2>/dev/null || echo 2)
for preset in "${presets[@]}"; do
    if [ ! -f "build/$preset/build.ninja" ]; then
        cmake --preset "$preset" >/dev/null
    fi
    cmake --build --preset "$preset" -j "$jobs" ${SETUP_TARGET:+--target "$SETUP_TARGET"}
done
