#!/usr/bin/env bash
# Builds the libFuzzer harnesses of tests/fuzz with clang (ASan + UBSan) and runs each for a
# bounded time from a copy of its seed corpus and its regression cases.
# Usage: scripts/run-fuzzers.sh [seconds per harness, default 60] [harness ...]
#   harnesses: translator criteria connection_string automation (default: all)
#   BREVANTO_FUZZ_BUILD: build folder (default build-fuzz beside this script's parent)
#   BREVANTO_JOBS: parallel compile jobs (default 2)
# Prints per harness the inputs executed; exits non-zero when a harness crashed or broke its
# oracle. The failing input is left in <build>/fuzz-run/<harness>/artifacts/: once fixed,
# commit it under tests/fuzz/regressions/<harness>/, where the normal suite replays it.
set -euo pipefail

seconds="${1:-60}"
[ $# -gt 0 ] && shift
harnesses=("$@")
[ ${#harnesses[@]} -gt 0 ] || harnesses=(translator criteria connection_string automation)

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${BREVANTO_FUZZ_BUILD:-$root/build-fuzz}"
jobs="${BREVANTO_JOBS:-2}"

launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DBREVANTO_BUILD_FUZZERS=ON -DBREVANTO_BUILD_TESTS=OFF -DBREVANTO_BUILD_BENCH=OFF "${launcher[@]}" >/dev/null
targets=()
for h in "${harnesses[@]}"; do targets+=("fuzz_$h"); done
cmake --build "$build" -j"$jobs" --target "${targets[@]}"

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
status=0
for h in "${harnesses[@]}"; do
  run="$build/fuzz-run/$h"
  rm -rf "$run"
  mkdir -p "$run/corpus" "$run/artifacts"
  cp "$root/tests/fuzz/corpus/$h/"* "$run/corpus/"
  if compgen -G "$root/tests/fuzz/regressions/$h/*" >/dev/null; then
    cp "$root/tests/fuzz/regressions/$h/"* "$run/corpus/"
  fi
  rc=0
  (cd "$run" && "$build/tests/fuzz/fuzz_$h" -max_total_time="$seconds" -timeout=30 -rss_limit_mb=2560 \
      -print_final_stats=1 -artifact_prefix="$run/artifacts/" corpus >"$run/log" 2>&1) || rc=$?
  executed="$(awk '/stat::number_of_executed_units/ {print $2}' "$run/log" | tail -1)"
  if [ "$rc" -eq 0 ]; then
    printf '%-18s ok      %s inputs in %s s\n' "$h" "${executed:-?}" "$seconds"
  else
    status=1
    printf '%-18s FAILED  after %s inputs; input in %s, log in %s\n' "$h" "${executed:-?}" "$run/artifacts" "$run/log"
    grep -m3 -E 'ERROR:|OracleFailure|what\(\)|runtime error' "$run/log" | sed 's/^/    /' || true
  fi
done
exit "$status"
