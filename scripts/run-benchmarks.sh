#!/usr/bin/env bash
# Builds brevanto-bench (optimised, with debug information) and runs the benchmarks that carry a
# target against plain SQLite: opening a chart at 1k, 100k and 1M accounts, the row save (CPU at
# synchronous=OFF and durable), the CEE bulk at 100k, and on PostgreSQL (a throw-away cluster on
# port 5436, skipped when PostgreSQL is not installed) the open, the save and 1/2/4/8 concurrent
# sessions saving against hand-written libpq; brevanto-bench ends with the summary table.
# Usage: scripts/run-benchmarks.sh [--quick] [build folder]   (default: build beside this script's parent)
#   --quick             open at 1k and 100k only (the 1M database takes about a minute to build
#                       and its open about 1.5 GB of memory)
#   BREVANTO_BENCH_FILTER   another benchmark filter (regular expression)
#   BREVANTO_BENCH_KEEP_DIR keeps the open and CEE databases there for later runs
#   BREVANTO_BENCH_PG_ACCOUNTS  the PostgreSQL chart's generated accounts (default 100000)
# Exits non-zero when the build or the run fails.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
jobs="${BREVANTO_JOBS:-2}"

sizes="1000,100000,1000000"
if [[ "${1:-}" == "--quick" ]]; then
  sizes="1000,100000"
  shift
fi
build="${1:-$root/build}"

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBREVANTO_BUILD_BENCH=ON >/dev/null
cmake --build "$build" -j"$jobs" --target brevanto-bench

export QT_QPA_PLATFORM=offscreen
export BREVANTO_BENCH_OPEN_SIZES="${BREVANTO_BENCH_OPEN_SIZES:-$sizes}"
filter="${BREVANTO_BENCH_FILTER:-^(open/|editor/save|cee/|rowstore/|pg/)}"
"$build/bench/brevanto-bench" --benchmark_filter="$filter" --benchmark_color=false
