#!/usr/bin/env bash
# Walk benchmark: builds the bench helper, makes the test tree once under /tmp (never in the
# repository) and prints the table that bench/scan/RESULTS.md records.
#   SONARVEX_BENCH_BUILD  build folder (default: build-bench in the repository)
#   SONARVEX_SCAN_TREE    tree folder (default: /tmp/sonarvex-scan-bench)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
build=${SONARVEX_BENCH_BUILD:-$repo/build-bench}
tree=${SONARVEX_SCAN_TREE:-/tmp/sonarvex-scan-bench}

cmake -S "$repo" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSONARVEX_BENCH=ON >/dev/null
cmake --build "$build" --target scan_bench -j 2

export QT_QPA_PLATFORM=offscreen
XDG_RUNTIME_DIR=$(mktemp -d)
chmod 700 "$XDG_RUNTIME_DIR"
export XDG_RUNTIME_DIR
trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT
if [ ! -f "$tree/.complete" ]; then
  rm -rf "$tree"
  echo "making the tree in $tree ..."
  "$build/bench/scan_bench" generate "$tree"
fi
"$build/bench/scan_bench" run "$tree" "${1:-5}"
