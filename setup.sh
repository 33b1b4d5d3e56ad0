#!/usr/bin/env bash
# Vantorel set-up on Debian 12.
#   ./setup.sh run    install what is missing, build, start the program in ~/Vantorel
#   ./setup.sh test   install what is missing, build, run every test
#   ./setup.sh package   (optional) build the Debian package and install it
# Queries for the project's own checks (tests/install):
#   ./setup.sh packages run|test|package   the Debian packages that command needs
#   ./setup.sh cmake-options run|test|package   how that command configures its build
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
cd "$here"

packages=(cmake ninja-build g++ pkg-config qt6-base-dev libqt6charts6-dev libgl1-mesa-dev
          qt6-qpa-plugins fonts-noto-cjk libgtest-dev libgmock-dev libbenchmark-dev
          nlohmann-json3-dev libsqlite3-dev clang-14 libclang-rt-14-dev)
# The test run also builds records/ for Windows and runs its tests under Wine.
test_packages=(g++-mingw-w64-x86-64-posix wine wine64 googletest)

install_missing() {
    local missing=()
    for p in "${packages[@]}" "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
}

package_packages=(dpkg-dev)

run_options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTOREL_TESTS=OFF -DVANTOREL_BENCH=OFF)
test_options=(-DCMAKE_BUILD_TYPE=Debug -DVANTOREL_WERROR=ON -DVANTOREL_WINDOWS_CHECK=ON)
package_options=(-DCMAKE_BUILD_TYPE=Release -DVANTOREL_TESTS=OFF -DVANTOREL_BENCH=OFF)

jobs=$(nproc 2>/dev/null || echo 2)

case "${1:-}" in
run)
    install_missing
    cmake -S . -B build -G Ninja "${run_options[@]}"
    cmake --build build -j "$jobs"
    # The program keeps its four data files in its current folder.
    data="${VANTOREL_DATA:-$HOME/Vantorel}"
    mkdir -p "$data"
    cd "$data"
    exec "$here/build/app/vantorel"
    ;;
test)
    install_missing "${test_packages[@]}"
    cmake -S . -B build-test -G Ninja "${test_options[@]}"
    cmake --build build-test -j "$jobs"
    ctest --test-dir build-test --output-on-failure -j "$jobs"
    ;;
package)
    install_missing "${package_packages[@]}"
    cmake -S . -B build-package -G Ninja "${package_options[@]}"
    cmake --build build-package -j "$jobs"
    (cd build-package && cpack -G DEB)
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    deb=$(ls -t build-package/vantorel_*.deb | head -n 1)
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y "./$deb"
    ;;
packages)
    case "${2:-}" in
    run) printf '%s\n' "${packages[@]}" ;;
    test) printf '%s\n' "${packages[@]}" "${test_packages[@]}" ;;
    package) printf '%s\n' "${packages[@]}" "${package_packages[@]}" ;;
    *) echo "usage: $0 packages run|test|package" >&2; exit 2 ;;
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
    echo "usage: $0 run|test|package" >&2
    exit 2
    ;;
esac
