#!/usr/bin/env bash
# Builds the records library and its tests for Windows with mingw-w64 and
# runs them under Wine. Usage: windows-check.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
src="$1"
build="$2"
export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cmake -S "$src" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$src/cmake/mingw-w64.cmake" \
      -DCMAKE_BUILD_TYPE=Debug -DVANTOREL_GUI=OFF -DVANTOREL_BENCH=OFF -DVANTOREL_TOOLS=OFF -DVANTOREL_WERROR=ON
cmake --build "$build"
[ -d "$WINEPREFIX" ] || wineboot --init >/dev/null 2>&1 || true
ctest --test-dir "$build" --output-on-failure
