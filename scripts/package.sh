#!/usr/bin/env bash
# Builds the Debian package sonarvex_<version>_<arch>.deb and prints its path (the build's
# own output goes to standard error).
#   scripts/package.sh [BUILD_DIR]
# BUILD_DIR defaults to build-package/, configured for a release without the test suites; an
# existing build folder (test.sh passes build/) is packaged as it is configured.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh >&2
build=${1:-build-package}

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DSONARVEX_BUILD_GUI=ON \
        -DSONARVEX_BUILD_TESTS=OFF >&2
fi
cmake --build "$build" -j "$(nproc)" >&2
rm -f "$build"/sonarvex_*.deb
(cd "$build" && cpack -G DEB >&2)
ls "$build"/sonarvex_*.deb
