#!/usr/bin/env bash
# Builds the project if needed and prints the network inventory of this
# machine. Extra arguments go to kvlhost (see kvlhost --help), e.g.
# --machine machines/example.json for a simulated machine.
set -euo pipefail
cd "$(dirname "$0")/.."
# Only the runner and the plug-in libraries it loads, not the tests.
SETUP_TARGET=kvlhost scripts/setup.sh default >&2
exec build/default/bin/kvlhost "$@"
