#!/usr/bin/env bash
# Runs the Windows build's core_tests.exe under wine, headless: no display, wine's prefix inside
# the build folder (nothing is written outside it), wine's own messages off. The first run makes
# the prefix, which takes a while; later runs reuse it. Usage: run-core-windows.sh <build folder>
set -euo pipefail
build=$(realpath "$1")
# Debian's wine64 alone runs a 64-bit .exe; the wine package's launcher would also want the
# 32-bit wine32, which needs the i386 architecture.
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver64
export WINEPREFIX="$build/wine-prefix" WINEARCH=win64 WINEDEBUG=-all
# Nothing here needs .NET or a web view: no Mono or Gecko installer while the prefix is made.
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY

status=0
"$wine" "$build/tests/core_tests.exe" --gtest_brief=1 --gtest_color=no || status=$?
# This prefix's wineserver lingers a few seconds after the last program; wait for it, so that
# nothing of the run outlives the make target.
"$wineserver" -w
exit "$status"
