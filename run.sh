#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds the program into build/ and starts it.
# Arguments pass through to the program (for example: ./run.sh /SCAN ~/Music /SUBFOLDERS).
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSONARVEX_BUILD_TESTS=OFF >/dev/null
cmake --build build
if [ "$(id -u)" -eq 0 ]; then export QTWEBENGINE_DISABLE_SANDBOX=1; fi
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
  XDG_RUNTIME_DIR=$(mktemp -d)
  chmod 700 "$XDG_RUNTIME_DIR"
  export XDG_RUNTIME_DIR
fi
exec build/bin/sonarvex "$@"
