#!/usr/bin/env bash
# The Windows build: the libraries (once, into the cache), the program, the
# data tool and the tests cross-built in Release, the installer, and then the
# tests under Wine and the installer's smoke test.
# Usage: build.sh [--no-tests]     (run by ./setup.sh windows)
# Environment: VANTOREL_WINDOWS_CACHE, VANTOREL_JOBS (see libraries.sh).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
src=$(cd "$here/../.." && pwd)
build="$src/build-windows"
jobs="${VANTOREL_JOBS:-2}"
export VANTOREL_JOBS="$jobs"
tests=yes
[ "${1:-}" = --no-tests ] && tests=no

seconds() { echo $(( $(date +%s) - $1 )); }
start=$(date +%s)
prefix=$("$here/libraries.sh" | tee /dev/stderr | tail -n 1)
echo "windows: libraries ready in $(seconds "$start") s"

start=$(date +%s)
mkdir -p "$build"
# Warnings are not errors here: at -O3 GCC 12 warns falsely (-Wrestrict in
# std::string's operator+, -Wmismatched-new-delete where a test replaces
# operator new). The test command's Debug build keeps -Werror.
cmake -S "$src" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$prefix/../toolchain.cmake" \
      -DVANTOREL_WINDOWS_ROOT="$prefix" -DQT_HOST_PATH=/usr \
      -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake -DCMAKE_BUILD_TYPE=Release \
      -DVANTOREL_BENCH=OFF > "$build/configure.log" ||
    { cat "$build/configure.log"; exit 1; }
cmake --build "$build" -j "$jobs"
echo "windows: program, data tool and tests built in $(seconds "$start") s"

start=$(date +%s)
"$here/package.sh" "$build" "$prefix"
echo "windows: installer written in $(seconds "$start") s"
[ $tests = yes ] || exit 0

start=$(date +%s)
"$here/wine-tests.sh" "$build" "$prefix"
"$here/smoke-test.sh" "$build"
echo "windows: tests under Wine passed in $(seconds "$start") s"
