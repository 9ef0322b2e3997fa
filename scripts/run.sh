#!/usr/bin/env bash
# Builds the program and starts a simulated K57-QMR unit on COM1 (paced at 115200 baud), the
# default when no hardware is attached. Stop with Ctrl+C.
#   scripts/run.sh [simulator options, e.g. --board k68 --scenario FILE]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/prerequisites.sh
install_prerequisites
cmake -S . -B build -G Ninja -DVAREN_BUILD_TESTS=OFF >/dev/null
cmake --build build -j "$(nproc)"
args=("$@")
[ ${#args[@]} -eq 0 ] && args=(--board qmr --com 1)
exec build/tools/unitsim/varen-unitsim "${args[@]}"
