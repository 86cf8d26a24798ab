#!/usr/bin/env bash
# Builds Brevanto (optimised, with debug information) and runs the whole test suite.
# Usage: scripts/run-tests.sh [build folder]   (default: build-tests beside this script's parent)
# Exits non-zero when the build or any test fails.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build-tests}"
jobs="${BREVANTO_JOBS:-2}"

# Qt runs without a display; tests that show windows use the offscreen platform.
export QT_QPA_PLATFORM=offscreen

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBREVANTO_BUILD_TESTS=ON -DBREVANTO_BUILD_BENCH=ON
cmake --build "$build" -j"$jobs"
ctest --test-dir "$build" --output-on-failure -j"$jobs"
