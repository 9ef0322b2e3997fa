#!/usr/bin/env bash
# Builds and runs the benchmarks and prints their figures. They never fail the build.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/prerequisites.sh
install_prerequisites
cmake -S . -B build -G Ninja -DVAREN_BUILD_BENCHMARKS=ON >/dev/null
cmake --build build -j "$(nproc)" --target bench_processor bench_roundtrip varen-unitsim \
  varen-diagnostics
build/bench/bench_processor
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
unitsim=$PWD/build/tools/unitsim/varen-unitsim
VAREN_UNITSIM=$unitsim VAREN_PORT_DIR=$scratch/ports XDG_CONFIG_HOME=$scratch/config \
  build/bench/bench_roundtrip

# Start-up to a connected page, and memory after a minute of polling, in the real application.
packages=$PWD/build/bench-node-packages
cmake -DNPM=npm -DSOURCE_DIR=tests/e2e -DINSTALL_DIR="$packages" -P tests/e2e/npmci.cmake
VAREN_APP=$PWD/build/app/varen-diagnostics VAREN_UNITSIM=$unitsim \
  NODE_PATH=$packages/node_modules node bench/e2e/startup.js
