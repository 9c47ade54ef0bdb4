#!/usr/bin/env bash
# Builds the Debian package from an optimized build (no tests) and prints the .deb's path.
#   scripts/package.sh BUILD_DIR
set -euo pipefail

build=${1:?usage: scripts/package.sh BUILD_DIR}
source_dir=$(cd "$(dirname "$0")/.." && pwd)
cmake -S "$source_dir" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPANEL_TESTS=OFF >&2
cmake --build "$build" -j "${JOBS:-$(nproc)}" >&2
rm -f "$build"/projector-panel_*.deb
(cd "$build" && cpack -G DEB >&2)
ls "$build"/projector-panel_*.deb
