#!/usr/bin/env bash
# The Debian packages the build, the tests and the simulator need. Sourced by the README's
# commands; installs only what is missing, so a second run costs a few seconds.
VAREN_PACKAGES=(
  build-essential cmake ninja-build ccache pkg-config
  qtbase5-dev qtbase5-dev-tools
  libboost-dev libboost-thread-dev libboost-date-time-dev libboost-system-dev libboost-chrono-dev
  libudev-dev
  qtwebengine5-dev libqt5webchannel5-dev libqt5svg5-dev fonts-font-awesome xvfb xauth
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev clang-format cppcheck
)

install_prerequisites() {
  local missing=()
  for package in "${VAREN_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
      missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  echo "Installing: ${missing[*]}"
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
    "${missing[@]}"
}
