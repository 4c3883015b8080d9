#!/usr/bin/env bash
# Builds the project if needed and prints the network inventory.
# Extra arguments go to kvlhost (see kvlhost --help).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh default >&2
if [ $# -eq 0 ]; then
    set -- --machine machines/example.json
fi
exec build/default/bin/kvlhost "$@"
