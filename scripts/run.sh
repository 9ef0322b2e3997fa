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

# On a first run (no default project yet) start with a project whose K57-QMR module is on the
# simulated unit's port, so the program connects at once. An existing project is left alone.
seed_default_project() {
  local dir="${XDG_DATA_HOME:-$HOME/.local/share}/Rusk/Varen Diagnostics"
  [ -e "$dir/default.vdp" ] && return 0
  mkdir -p "$dir"
  cat > "$dir/default.vdp" <<'XML'
<?xml version="1.0" encoding="utf-8"?>
<project>
    <modules>
        <module>
            <type>4</type>
            <id>0</id>
            <settings>
                <port>COM1</port>
                <baudrate>115200</baudrate>
            </settings>
        </module>
    </modules>
</project>
XML
}

args=("$@")
if [ ${#args[@]} -eq 0 ]; then
  args=(--board qmr --com 1)
  seed_default_project
fi
build/tools/unitsim/varen-unitsim "${args[@]}" &
simulator=$!
trap 'kill "$simulator" 2>/dev/null || true; wait "$simulator" 2>/dev/null || true' EXIT

# The web engine's sandbox cannot run as root.
[ "$(id -u)" -eq 0 ] && export QTWEBENGINE_DISABLE_SANDBOX=1
build/app/varen-diagnostics
