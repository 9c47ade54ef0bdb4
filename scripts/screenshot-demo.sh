#!/usr/bin/env bash
# Draws the panel talking to the simulated projector into docs/screenshots/demo.png, offscreen.
#   scripts/screenshot-demo.sh [BUILD_DIR] [QUERY]     (defaults: build, CR0)
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build}
query=${2:-CR0}
[ -f "$build/build.ninja" ] || cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug
cmake --build "$build" --target demo-screenshot
mkdir -p docs/screenshots
QT_QPA_PLATFORM=offscreen "$build/tests/demo-screenshot" docs/screenshots/demo.png "$query"
echo "wrote docs/screenshots/demo.png"
