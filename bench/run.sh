#!/usr/bin/env bash
# Runs every benchmark (the folder walk against find, the tag reader against TagLib, the file
# list against TagLib, destroy and copy against dd and cp, the unattended report against id3dump);
# each prints its table, recorded in bench/RESULTS.md.
# Needs TagLib for the peers: apt-get install libtag1-dev (benchmarks only).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
"$here/../scripts/install-deps.sh" libtag1-dev pkg-config strace time
echo "== folder walk"; "$here/scan/run.sh"
echo "== tag reading"; python3 "$here/id3/run.py" "$@"
echo "== file list"; "$here/list/run.sh"
echo "== file actions"; "$here/actions/run.sh"
echo "== unattended report"; python3 "$here/report/run.py"
