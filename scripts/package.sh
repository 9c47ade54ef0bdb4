#!/usr/bin/env bash
# Builds the Debian package from an optimized build (no tests) and prints the .deb's path.
#   scripts/package.sh BUILD_DIR
set -euo pipefail

build=${1:?usage: scripts/package.sh BUILD_DIR}
source_dir=$(cd "$(dirname "$0")/.." && pwd)
# The hardening a Debian package is built with (stack protector, fortified functions, read-only
# relocations bound at start), from dpkg-buildflags as Debian's own packages get it. Given on
# every configure, since CMake reads CXXFLAGS and LDFLAGS from the environment only once.
flags() { (cd "$source_dir" && DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get "$1"); }
cxx_flags="$(flags CPPFLAGS) $(flags CXXFLAGS)"
ld_flags=$(flags LDFLAGS)
cmake -S "$source_dir" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPANEL_TESTS=OFF \
  -DCMAKE_CXX_FLAGS="$cxx_flags" -DCMAKE_EXE_LINKER_FLAGS="$ld_flags" -DCMAKE_SHARED_LINKER_FLAGS="$ld_flags" >&2
cmake --build "$build" -j "${JOBS:-$(nproc)}" >&2
rm -f "$build"/projector-panel_*.deb
(cd "$build" && cpack -G DEB >&2)
ls "$build"/projector-panel_*.deb
