#!/usr/bin/env bash
# File actions benchmark: destroy a 1 GiB file against dd writing the same zeros with the same
# block size and a final sync, and copy a 1 GiB file into another folder against cp; all on the
# build folder's file system, runs interleaved, median of N (default 3). Prints the table that
# bench/RESULTS.md records.
#   SONARVEX_BENCH_BUILD  build folder (default: build-bench in the repository)
#   SONARVEX_ACTIONS_DIR  work folder (default: actions-data inside the build folder)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
build=${SONARVEX_BENCH_BUILD:-$repo/build-bench}
work=${SONARVEX_ACTIONS_DIR:-$build/actions-data}
runs=${1:-3}
size_mib=1024

"$repo/scripts/install-deps.sh" libtag1-dev pkg-config  # every benchmark folder is configured
cmake -S "$repo" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSONARVEX_BENCH=ON >/dev/null
cmake --build "$build" --target actions_bench -j 2 >/dev/null
bench=$build/bench/actions_bench

mkdir -p "$work/copies"
trap 'rm -rf "$work"' EXIT
master=$work/master.bin
dd if=/dev/urandom of="$master" bs=1M count=$size_mib status=none
sync

# Seconds taken by the command, to the millisecond.
timed() {
  local start end
  start=$(date +%s%N)
  "$@" >/dev/null
  end=$(date +%s%N)
  awk -v ns=$((end - start)) 'BEGIN { printf "%.3f\n", ns / 1e9 }'
}
fresh() { cp "$master" "$work/victim.bin"; sync; }
# A copy is timed until its data is on the disk, for ours and cp alike: without the sync the
# figure depends on how much of the page cache happens to be free and dirty.
ours_copy_synced() { "$bench" copy "$master" "$work/copies" && sync; }
# dd leaves the file in place; for comparison, the same zeros followed by what DestroyFile does
# after them (unlink, then sync of the folder's file system).
dd_zero() { dd if=/dev/zero of="$work/victim.bin" bs=32k count=$((size_mib * 32)) conv=notrunc,fsync status=none; }
dd_rm_synced() { dd_zero && rm "$work/victim.bin" && sync -f "$work"; }
cp_synced() { cp "$master" "$work/copies/" && sync; }
median() { printf '%s\n' "$@" | sort -n | sed -n "$(( ($# + 1) / 2 ))p"; }

ours_destroy=(); dd_destroy=(); dd_rm=(); ours_copy=(); cp_copy=()
for ((i = 0; i < runs; i++)); do
  fresh; ours_destroy+=("$(timed "$bench" destroy "$work/victim.bin")")
  fresh; dd_destroy+=("$(timed dd_zero)")
  fresh; dd_rm+=("$(timed dd_rm_synced)")
  rm -f "$work/victim.bin" "$work/copies/master.bin"; sync
  ours_copy+=("$(timed ours_copy_synced)")
  rm -f "$work/copies/master.bin"; sync
  cp_copy+=("$(timed cp_synced)")
  rm -f "$work/copies/master.bin"; sync
done

od=$(median "${ours_destroy[@]}"); dd_=$(median "${dd_destroy[@]}"); dr=$(median "${dd_rm[@]}")
oc=$(median "${ours_copy[@]}"); cc=$(median "${cp_copy[@]}")
fs=$(df -T "$work" | awk 'NR == 2 { print $2 }')
echo "File actions, ${size_mib} MiB file on $fs, median of $runs (runs: destroy ${ours_destroy[*]} / dd ${dd_destroy[*]} / dd+rm ${dd_rm[*]}; copy ${ours_copy[*]} / cp ${cp_copy[*]})"
echo
echo "| Measure | Median | MiB/s | Throughput ratio to peer | Goal |"
echo "|---|---:|---:|---:|---:|"
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
row() { echo "| $1 | $2 s | $(awk -v m=$size_mib -v t="$2" 'BEGIN { printf "%.0f", m / t }') | $3 | $4 |"; }
row "DestroyFile (zeros in 32 KiB blocks, fsync, unlink)" "$od" "$(ratio "$dd_" "$od")" ">= 0.8"
row "\`dd bs=32k conv=notrunc,fsync\` from /dev/zero" "$dd_" "1" ""
row "(for comparison) the same dd, then \`rm\` and \`sync -f\`" "$dr" "$(ratio "$dr" "$od")" ""
row "Copy service (one file into another folder), then sync" "$oc" "$(ratio "$cc" "$oc")" ">= 0.9"
row "\`cp\` of the same file, then sync" "$cc" "1" ""
