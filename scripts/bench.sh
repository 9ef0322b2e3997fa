#!/usr/bin/env bash
# Builds and runs the benchmarks and prints their figures. They never fail the build.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/prerequisites.sh
install_prerequisites
cmake -S . -B build -G Ninja -DVAREN_BUILD_BENCHMARKS=ON >/dev/null
cmake --build build -j "$(nproc)" --target bench_processor bench_roundtrip varen-unitsim
build/bench/bench_processor
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
VAREN_UNITSIM=$PWD/build/tools/unitsim/varen-unitsim VAREN_PORT_DIR=$scratch/ports \
  XDG_CONFIG_HOME=$scratch/config build/bench/bench_roundtrip
