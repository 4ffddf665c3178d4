#!/usr/bin/env bash
# Builds and runs the file list benchmark; results go to bench/list/RESULTS.md by hand.
# BUILD_DIR (default build-bench) is configured with the benchmarks on; CORPUS (default a
# folder under /tmp) gets 10,000 tagged files the first time.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${BUILD_DIR:-$root/build-bench}
corpus=${CORPUS:-/tmp/sonarvex-list-corpus}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSONARVEX_BENCH=ON >/dev/null
cmake --build "$build" --target list_bench -j 2
bench=$build/bench/list_bench
if [ ! -d "$corpus" ]; then
  "$bench" corpus "$corpus" 10000
fi
"$bench" time "$corpus"
"$bench" memory 100000
