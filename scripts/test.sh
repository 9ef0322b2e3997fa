#!/usr/bin/env bash
# Builds and runs every test: the normal build with all tests and the static checks, then the
# AddressSanitizer + UndefinedBehaviorSanitizer build (with a bounded fuzzing run of the
# response processor) and the ThreadSanitizer build of the transport, console and modules tests.
#   scripts/test.sh          everything (what CI runs)
#   scripts/test.sh --fast   the normal build and the static checks only
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/prerequisites.sh
install_prerequisites

fast=false
[ "${1:-}" = "--fast" ] && fast=true
jobs=$(nproc)

configure_and_test() { # <build dir> <ctest args...> -- <cmake args...>
  local dir=$1; shift
  local ctest_args=()
  while [ "$1" != "--" ]; do ctest_args+=("$1"); shift; done
  shift
  cmake -S . -B "$dir" -G Ninja "$@"
  cmake --build "$dir" -j "$jobs"
  ctest --test-dir "$dir" --output-on-failure -j "$jobs" "${ctest_args[@]}"
}

echo "== build and tests"
configure_and_test build -- -DVAREN_BUILD_BENCHMARKS=ON

echo "== static checks"
scripts/check-format.sh
host_folders=$(ls -d tdi console modules projects pagehost app tools/unitsim 2>/dev/null || true)
cppcheck --quiet --error-exitcode=1 --std=c++17 --language=c++ \
  --enable=warning,performance,portability --inline-suppr \
  --suppress=missingIncludeSystem --library=qt -I . $host_folders

$fast && exit 0

echo "== AddressSanitizer + UndefinedBehaviorSanitizer (and the processor fuzzer)"
CC=clang CXX=clang++ configure_and_test build-asan -- \
  -DVAREN_SANITIZE=address,undefined -DVAREN_BUILD_FUZZERS=ON

echo "== ThreadSanitizer (transport, console and modules)"
TSAN_OPTIONS="suppressions=$PWD/tests/tsan.supp halt_on_error=1" \
  configure_and_test build-tsan -L 'unit|integration' -R '^(tdi|console|modules)_' -- \
  -DVAREN_SANITIZE=thread
