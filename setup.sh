#!/usr/bin/env bash
# Vantorel set-up on Debian 12.
#   ./setup.sh run       install what is missing, build, start the program in ~/Vantorel
#   ./setup.sh test      install what is missing (the developers' tools too), build, run every test
#   ./setup.sh package   (optional) build the Debian package, check it with lintian, install it
#   ./setup.sh fuzz [SECONDS] [TARGET]   (developers) build a fuzz target with clang and run it
#   ./setup.sh windows [--no-tests]   cross-build the Windows installer, test it under Wine
# Queries for the project's own checks (the install check):
#   ./setup.sh packages run|test|package|fuzz|windows   the Debian packages that command installs
#   ./setup.sh cmake-options run|test|package   how that command configures its build
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
cd "$here"

# Real package names only: dpkg-query never reports a virtual name as
# installed, and each missing name costs an apt-get (and sudo) on every start.
# The install check (CTest test install_check) proves these lists complete.
#
# Building and running the program: compiler, build tools, Qt with Qt Charts
# (whose CMake files need Qt OpenGL's), the platform plugins, Chinese fonts,
# Qt's own texts in Chinese, the JSON library of the data tool, ICU (GBK in the
# data tool, pinyin of names in the program, a CSV's encoding in the import) and
# libxlsxwriter (spreadsheets). The import reads .xlsx through minizip (with
# zlib's headers, which its own include) and .xls through libfreexl. The client
# review's PDF takes its Latin letters and digits from DejaVu Serif. libical
# writes the calendar file (iCalendar) of the program and the data tool.
run_packages=(cmake ninja-build g++ qt6-base-dev qt6-charts-dev libqt6opengl6-dev qt6-qpa-plugins
              qt6-translations-l10n fonts-noto-cjk nlohmann-json3-dev libicu-dev libxlsxwriter-dev
              libminizip-dev zlib1g-dev libfreexl-dev fonts-dejavu-core libical-dev)
# The developers' part, added by the test command: GoogleTest (and GoogleMock,
# whose CMake files GoogleTest's package reads when they are there), the
# GoogleTest sources that the Windows check compiles, SQLite for the storage
# benchmark, mingw-w64 and Wine for the Windows check, clang-format for the
# format check, poppler-utils (pdftoppm, pdftotext, pdffonts) to read back the
# client review's PDF.
test_packages=(libgtest-dev libgmock-dev googletest libsqlite3-dev g++-mingw-w64-x86-64-posix wine wine64
               clang-format poppler-utils)
# Building the Debian package: dpkg-shlibdeps and dpkg-buildflags, lintian.
package_packages=(dpkg-dev lintian)
# The libFuzzer build: clang and its fuzzer runtime.
fuzz_packages=(clang-14 libclang-rt-14-dev)
# The Windows build (cmake/windows/build.sh): mingw-w64 with posix threads;
# make, perl and dpkg-source to build the libraries from Debian's sources
# (the cross-built Qt uses the host's Qt tools, in the run list); GoogleTest's
# sources for the tests; NSIS for the installer; Wine and Xvfb (with xauth
# for xvfb-run) to test it, x11-apps and netpbm for the screenshot.
windows_packages=(g++-mingw-w64-x86-64-posix make perl dpkg-dev googletest nsis wine wine64 xvfb xauth x11-apps netpbm)

run_options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTOREL_TESTS=OFF -DVANTOREL_BENCH=OFF)
test_options=(-DCMAKE_BUILD_TYPE=Debug -DVANTOREL_WERROR=ON -DVANTOREL_WINDOWS_CHECK=ON)
package_options=(-DCMAKE_BUILD_TYPE=Release -DVANTOREL_TESTS=OFF -DVANTOREL_BENCH=OFF)

install_missing() {
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
}

jobs=$(nproc 2>/dev/null || echo 2)

case "${1:-}" in
run)
    install_missing "${run_packages[@]}"
    cmake -S . -B build -G Ninja "${run_options[@]}"
    cmake --build build -j "$jobs"
    # The program keeps its four data files in its current folder.
    data="${VANTOREL_DATA:-$HOME/Vantorel}"
    # Private when new: the data files hold identity numbers, phones and addresses.
    mkdir -p -m 700 "$data"
    cd "$data"
    exec "$here/build/app/vantorel"
    ;;
test)
    install_missing "${run_packages[@]}" "${test_packages[@]}"
    cmake -S . -B build-test -G Ninja "${test_options[@]}"
    cmake --build build-test -j "$jobs"
    ctest --test-dir build-test --output-on-failure -j "$jobs"
    ;;
package)
    install_missing "${run_packages[@]}" "${package_packages[@]}"
    # Debian's hardening flags, all of them, as a Debian build would use them.
    export DEB_BUILD_MAINT_OPTIONS=hardening=+all
    CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
    LDFLAGS="$(dpkg-buildflags --get LDFLAGS)" \
        cmake -S . -B build-package -G Ninja "${package_options[@]}"
    cmake --build build-package -j "$jobs"
    rm -f build-package/vantorel_*.deb
    (cd build-package && cpack -G DEB)
    deb=$(ls build-package/vantorel_*.deb)
    lintian --fail-on error "$deb"
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y "./$deb"
    ;;
fuzz)
    install_missing "${run_packages[@]}" "${fuzz_packages[@]}"
    CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DVANTOREL_FUZZ=ON -DVANTOREL_GUI=OFF -DVANTOREL_TESTS=OFF -DVANTOREL_BENCH=OFF -DVANTOREL_TOOLS=OFF
    # fuzz_load (the data files, the default) or fuzz_sheets (the import's readers).
    target="${3:-fuzz_load}"
    case "$target" in
    fuzz_load) corpus=corpus ;;
    fuzz_sheets) corpus=corpus_sheets ;;
    *) echo "usage: $0 fuzz [SECONDS] [fuzz_load|fuzz_sheets]" >&2; exit 2 ;;
    esac
    cmake --build build-fuzz -j "$jobs" --target "$target"
    mkdir -p "build-fuzz/$corpus"
    exec "build-fuzz/fuzz/$target" -max_total_time="${2:-60}" "build-fuzz/$corpus" "fuzz/$corpus"
    ;;
windows)
    install_missing "${run_packages[@]}" "${windows_packages[@]}"
    exec cmake/windows/build.sh "${@:2}"
    ;;
packages)
    case "${2:-}" in
    run) printf '%s\n' "${run_packages[@]}" ;;
    test) printf '%s\n' "${run_packages[@]}" "${test_packages[@]}" ;;
    package) printf '%s\n' "${run_packages[@]}" "${package_packages[@]}" ;;
    fuzz) printf '%s\n' "${run_packages[@]}" "${fuzz_packages[@]}" ;;
    windows) printf '%s\n' "${run_packages[@]}" "${windows_packages[@]}" ;;
    *) echo "usage: $0 packages run|test|package|fuzz|windows" >&2; exit 2 ;;
    esac
    ;;
cmake-options)
    case "${2:-}" in
    run) printf '%s\n' "${run_options[@]}" ;;
    test) printf '%s\n' "${test_options[@]}" ;;
    package) printf '%s\n' "${package_options[@]}" ;;
    *) echo "usage: $0 cmake-options run|test|package" >&2; exit 2 ;;
    esac
    ;;
*)
    echo "usage: $0 run|test|package|fuzz|windows" >&2
    exit 2
    ;;
esac
