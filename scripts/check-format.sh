#!/usr/bin/env bash
# Fails when a C++ file of ours differs from what clang-format makes of it.
# scripts/check-format.sh --fix rewrites the files instead.
set -euo pipefail
cd "$(dirname "$0")/.."
files=$(git ls-files '*.cpp' '*.h')
[ -z "$files" ] && exit 0
if [ "${1:-}" = "--fix" ]; then
  clang-format -i $files
else
  clang-format --dry-run --Werror $files
fi
