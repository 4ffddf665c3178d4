#!/usr/bin/env bash
# Builds and runs the file list benchmark; results go to bench/list/RESULTS.md by hand.
# BUILD_DIR (default build-bench) is configured with the benchmarks on; CORPUS (default the tag
# engine benchmark's corpus under /tmp) is made by bench/id3/make-corpus.sh the first time.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${BUILD_DIR:-$root/build-bench}
corpus=${CORPUS:-/tmp/sonarvex-id3-corpus}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSONARVEX_BENCH=ON >/dev/null
cmake --build "$build" --target list_bench -j 2
bench=$build/bench/list_bench
# The tag engine's corpus, so both benchmarks measure the same 10,000 files.
if [ ! -d "$corpus" ] || [ -z "$(ls -A "$corpus" 2>/dev/null)" ]; then
  "$root/bench/id3/make-corpus.sh" "$corpus" 10000
fi
"$bench" time "$corpus"
flac=${FLAC_CORPUS:-/tmp/sonarvex-flac-corpus}
if [ ! -d "$flac" ] || [ -z "$(ls -A "$flac" 2>/dev/null)" ]; then
  "$bench" flac-corpus "$flac" 10000
fi
"$bench" time-flac "$flac"
"$bench" memory 100000
