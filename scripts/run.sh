#!/usr/bin/env bash
# Builds the program and starts it against a simulated K57-QMR unit on COM1 (paced at 115200
# baud), the default when no hardware is attached. The simulated unit runs in the background and
# stops when the program exits (or on Ctrl+C).
#   scripts/run.sh [simulator options, e.g. --board k68 --scenario FILE]
# Without a desktop session, run it on a virtual display: xvfb-run -a scripts/run.sh
set -euo pipefail
cd "$(dirname "$0")/.."

source scripts/prerequisites.sh
install_prerequisites
# Checked before the build, which takes a while; the prerequisites bring xvfb-run.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run.sh: no display is available (neither DISPLAY nor WAYLAND_DISPLAY is set)." >&2
  echo "Start it from a desktop session, or on a virtual display: xvfb-run -a scripts/run.sh" >&2
  exit 1
fi
cmake -S . -B build -G Ninja -DVAREN_BUILD_TESTS=OFF >/dev/null
cmake --build build -j "$(nproc)" --target varen-diagnostics varen-unitsim

args=("$@")
[ ${#args[@]} -eq 0 ] && args=(--board qmr --com 1)
build/tools/unitsim/varen-unitsim "${args[@]}" &
simulator=$!
trap 'kill "$simulator" 2>/dev/null || true; wait "$simulator" 2>/dev/null || true' EXIT

# The web engine's sandbox cannot run as root.
[ "$(id -u)" -eq 0 ] && export QTWEBENGINE_DISABLE_SANDBOX=1
build/app/varen-diagnostics
