#!/usr/bin/env bash
# make-corpus.sh DIR [COUNT]: the benchmark corpus (10,000 tagged files by default) in DIR.
# Reproducible: the same COUNT always gives the same files. Keep DIR outside the repository.
set -euo pipefail
[ $# -ge 1 ] || { echo "usage: make-corpus.sh DIR [COUNT]" >&2; exit 2; }
exec python3 "$(dirname "$0")/make-corpus.py" "$@"
