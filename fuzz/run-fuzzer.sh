#!/usr/bin/env bash
# run-fuzzer.sh BINARY SECONDS WORKDIR [SEEDDIR]: a bounded libFuzzer run from a fresh corpus copy.
set -euo pipefail
bin=$1 seconds=$2 work=$3 seeds=${4:-}
rm -rf "$work" && mkdir -p "$work"
# Scratch files in memory where there is a memory file system: the tag writers flush every file
# they write, which on a disk would slow the run down several times.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then export TMPDIR=/dev/shm; fi
if [ -n "$seeds" ] && [ -d "$seeds" ]; then cp -r "$seeds"/. "$work"/; fi
exec "$bin" "$work" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=64 \
     -print_final_stats=1 -artifact_prefix="$work/"
