#!/usr/bin/env bash
# Builds Brevanto (optimised, with line tables for backtraces) and runs the whole test suite.
# Usage: scripts/run-tests.sh [build folder]   (default: build-tests beside this script's parent)
#        scripts/run-tests.sh --sanitize [build folder]   (default: build-asan)
#   --sanitize builds with AddressSanitizer, LeakSanitizer and UndefinedBehaviorSanitizer
#   (BREVANTO_SANITIZE, without the benchmarks) and runs the suite under them: any memory
#   error, leak or undefined behaviour fails the test that reached it.
# Exits non-zero when the build or any test fails.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
jobs="${BREVANTO_JOBS:-2}"

sanitize=""
if [[ "${1:-}" == "--sanitize" ]]; then
  sanitize="${BREVANTO_SANITIZE:-address,undefined}"
  shift
fi

# Line tables only (-g1): backtraces and sanitizer reports keep files and lines, and the two
# builds compile about a fifth faster than with full debug information.
flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -g1 -DNDEBUG"
       "-DCMAKE_C_FLAGS_RELWITHDEBINFO=-O2 -g1 -DNDEBUG" -DBREVANTO_BUILD_TESTS=ON)

# Qt runs without a display; tests that show windows use the offscreen platform.
export QT_QPA_PLATFORM=offscreen

if [[ -z "$sanitize" ]]; then
  build="${1:-$root/build-tests}"
  cmake -S "$root" -B "$build" "${flags[@]}" -DBREVANTO_BUILD_BENCH=ON
  cmake --build "$build" -j"$jobs"
  ctest --test-dir "$build" --output-on-failure -j"$jobs"
else
  build="${1:-$root/build-asan}"
  cmake -S "$root" -B "$build" "${flags[@]}" -DBREVANTO_BUILD_BENCH=OFF \
    -DBREVANTO_SANITIZE="$sanitize"
  cmake --build "$build" -j"$jobs"
  # Instrumented code runs several times slower: a generous limit per test.
  ctest --test-dir "$build" --output-on-failure -j"$jobs" --timeout 900
fi
