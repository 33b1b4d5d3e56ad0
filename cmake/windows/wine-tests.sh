#!/usr/bin/env bash
# Runs the Windows build's tests under Wine: CTest, with wine as the
# emulator. All but the layer tests, which check the build's include folders,
# the same on every platform (./setup.sh test runs them); tests that depend on
# Linux skip themselves with their reason.
# Usage: wine-tests.sh BUILD PREFIX   (PREFIX: the libraries' folder, libraries.sh)
set -euo pipefail
build=$(cd "$1" && pwd)
prefix="$2"
export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
winpath() { printf 'Z:%s' "${1//\//\\}"; }

if [ ! -f "$WINEPREFIX/.vantorel-ready" ]; then
    rm -rf "$WINEPREFIX"
    wineboot --init > /dev/null 2>&1
    # Wine hands no QT_ variable from here to a program; the prefix's own
    # environment does. The offscreen platform's text needs a font folder.
    wine reg add 'HKCU\Environment' /v QT_QPA_FONTDIR /t REG_SZ \
         /d "$(winpath /usr/share/fonts/opentype/noto)" /f > /dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.vantorel-ready"
fi
# The DLLs: the libraries', then mingw-w64's C++ and thread runtimes.
WINEPATH="$(winpath "$prefix/bin");$(winpath /usr/lib/gcc/x86_64-w64-mingw32/12-posix);$(winpath /usr/x86_64-w64-mingw32/lib)"
export WINEPATH
ctest --test-dir "$build" --output-on-failure -j "${VANTOREL_JOBS:-2}" -E '^layer_'
