#!/usr/bin/env bash
# Cross-builds, for 64-bit Windows with mingw-w64, every library the Windows
# build of Vantorel links, from Debian's own source packages, into a cache
# outside the checkout. A second run builds nothing again: each library's
# folder is named by a key made of its source package's version, its recipe
# below, the toolchain and the keys of the libraries it is built on, so a new
# version (or a changed recipe) rebuilds that library and those built on it,
# and nothing else. A folder is taken as built only once its marker is written
# last: a run cut short leaves none. Its unpacked source and build folder stay
# under the same key, and the next run goes on in them (make and ninja redo
# what they had not finished); where going on fails, it starts afresh.
#
# Usage: libraries.sh          build what is missing; the last line printed is
#                              the folder holding all of them (the prefix)
#        libraries.sh prefix   print the prefix only, build nothing
# Environment: VANTOREL_WINDOWS_CACHE (default ${XDG_CACHE_HOME:-$HOME/.cache}/vantorel-windows),
#              VANTOREL_JOBS (default 2).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cache="${VANTOREL_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/vantorel-windows}"
jobs="${VANTOREL_JOBS:-2}"
host=x86_64-w64-mingw32
prefix="$cache/prefix"
if [ "${1:-}" = prefix ]; then
    echo "$prefix"
    exit 0
fi

# The libraries, in build order: name, Debian source package ("-" for code of
# this project), then the names it is built on. A new library is one line here
# and one function build_NAME below.
libraries=(
    "zlib       zlib"
    "minizip    minizip          zlib"
    "xlsxwriter libxlsxwriter    zlib minizip"
    "icu        icu"
    "iconv      -                icu"
    "freexl     freexl           iconv icu"
    "libical    libical3"
    "json       nlohmann-json3"
    "qtbase     qt6-base         icu"
    "qtcharts   qt6-charts       qtbase icu"
)

# --- Recipes. Each runs in an empty build folder with SRC (the unpacked
# source, Debian's patches applied), OUT (its install folder) and ROOT (the
# libraries it is built on, merged into one folder).

toolchain_args() {
    echo -DCMAKE_TOOLCHAIN_FILE="$cache/toolchain.cmake" -DVANTOREL_WINDOWS_ROOT="$ROOT" \
         -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$OUT" -G Ninja
}

# The libraries the program links are DLLs, as on Debian shared libraries, so
# that linking one needs no word of what it is built on; zlib and iconv are
# built into them.
build_zlib() {
    # Static, built into the DLLs that use it. Debian's source drops zlib's
    # makefile for Windows; the library is its fifteen C files.
    local f
    for f in adler32 compress crc32 deflate gzclose gzlib gzread gzwrite infback inffast inflate inftrees \
             trees uncompr zutil; do
        $host-gcc-posix -O2 -c "$SRC/$f.c" -o "$f.o"
    done
    mkdir -p "$OUT/include" "$OUT/lib"
    $host-gcc-ar-posix rcs "$OUT/lib/libz.a" ./*.o
    cp "$SRC/zlib.h" "$SRC/zconf.h" "$OUT/include/"
}

build_minizip() {
    # Five C files: their own build wants autoreconf for nothing more.
    # The library of Debian's libminizip-dev: unzip and zip over zlib, with
    # the Windows file functions; headers under minizip/ as Debian has them.
    local f
    for f in ioapi unzip zip iowin32 mztools; do
        $host-gcc-posix -O2 -I"$ROOT/include" -c "$SRC/$f.c" -o "$f.o"
    done
    # A DLL, as on Debian a shared library: whoever links it needs no zlib.
    mkdir -p "$OUT/include/minizip" "$OUT/lib" "$OUT/bin"
    $host-gcc-posix -shared -o "$OUT/bin/libminizip-1.dll" ./*.o -Wl,--out-implib,"$OUT/lib/libminizip.dll.a" \
        "$ROOT/lib/libz.a"
    cp "$SRC"/{ioapi,unzip,zip,iowin32,mztools,crypt}.h "$OUT/include/minizip/"
}

build_xlsxwriter() {
    # shellcheck disable=SC2046
    cmake -S "$SRC" -B . $(toolchain_args) -DBUILD_SHARED_LIBS=ON -DUSE_SYSTEM_MINIZIP=ON \
          -DBUILD_TESTS=OFF -DBUILD_EXAMPLES=OFF -DMINIZIP_INCLUDE_DIRS="$ROOT/include/minizip" \
          -DMINIZIP_LIBRARIES="$ROOT/lib/libminizip.dll.a" -DZLIB_INCLUDE_DIR="$ROOT/include" \
          -DZLIB_LIBRARY="$ROOT/lib/libz.a" > configure.log
    cmake --build . -j "$jobs"
    cmake --install . > /dev/null
}

build_icu() {
    # ICU's build runs its own tools on this machine to make the data: a
    # native build of those first, then the cross build. The data (the
    # transliterators of the pinyin search, the converters of GBK and the
    # charset detector) become icudt72.dll.
    mkdir native cross
    (cd native && "$SRC/source/configure" CC=gcc CXX=g++ --disable-tests --disable-samples --disable-extras \
                  --disable-layoutex > configure.log && make -j "$jobs" > make.log)
    (cd cross && "$SRC/source/configure" --host=$host --with-cross-build="$PWD/../native" \
                  CC=$host-gcc-posix CXX=$host-g++-posix --prefix="$OUT" --disable-tests \
                  --disable-samples --disable-extras --disable-layoutex --disable-tools > configure.log &&
     make -j "$jobs" > make.log && make install > install.log)
}

build_iconv() {
    # mingw-w64 has no iconv and Debian packages none for it: iconv_open,
    # iconv and iconv_close over ICU's converters, and locale_charset, for freexl.
    $host-gcc-posix -O2 -Wall -I"$here/iconv" -I"$ROOT/include" -c "$here/iconv/iconv.c" -o iconv.o
    mkdir -p "$OUT/include" "$OUT/lib"
    $host-gcc-ar-posix rcs "$OUT/lib/libiconv.a" iconv.o
    cp "$here/iconv/iconv.h" "$here/iconv/localcharset.h" "$OUT/include/"
}

build_freexl() {
    # Static first: libtool builds no DLL over a static iconv. The DLL is made
    # from the archive, with iconv and ICU inside or imported.
    "$SRC/configure" --host=$host CC=$host-gcc-posix AR=$host-gcc-ar-posix RANLIB=$host-gcc-ranlib-posix \
        --prefix="$OUT" --enable-static --disable-shared CPPFLAGS="-I$ROOT/include" \
        LDFLAGS="-L$ROOT/lib" LIBS="-liconv -licuuc" > configure.log
    make -j "$jobs" > make.log
    make install > install.log
    mkdir -p "$OUT/bin"
    $host-gcc-posix -shared -o "$OUT/bin/libfreexl-1.dll" -Wl,--whole-archive "$OUT/lib/libfreexl.a" \
        -Wl,--no-whole-archive -Wl,--out-implib,"$OUT/lib/libfreexl.dll.a" -L"$ROOT/lib" -liconv -licuuc
    rm -f "$OUT/lib/libfreexl.a" "$OUT/lib/libfreexl.la"
}

build_libical() {
    # Neither GLib nor ICU (RSCALE calendars) nor Berkeley DB: only the
    # iCalendar library itself, with its own time zone data as Windows has none.
    # shellcheck disable=SC2046
    cmake -S "$SRC" -B . $(toolchain_args) -DSTATIC_ONLY=OFF -DICAL_GLIB=OFF -DICAL_BUILD_DOCS=OFF \
          -DLIBICAL_BUILD_TESTING=OFF -DENABLE_GTK_DOC=OFF -DGOBJECT_INTROSPECTION=OFF -DWITH_CXX_BINDINGS=OFF \
          -DUSE_BUILTIN_TZDATA=ON -DCMAKE_DISABLE_FIND_PACKAGE_ICU=ON -DCMAKE_DISABLE_FIND_PACKAGE_BDB=ON \
          -DCMAKE_DISABLE_FIND_PACKAGE_GLib=ON -DSHARED_ONLY=ON > configure.log
    cmake --build . -j "$jobs"
    cmake --install . > /dev/null
}

build_json() {
    # shellcheck disable=SC2046
    cmake -S "$SRC" -B . $(toolchain_args) -DJSON_BuildTests=OFF -DJSON_Install=ON > configure.log
    cmake --install . > /dev/null
}

build_qtbase() {
    # Core, Gui, Widgets, Test and Print Support, the windows and offscreen
    # platforms; Qt's tools are the host's. ICU, as on Debian, gives Qt the
    # GBK converter of the data files. Debian's source lacks wintab, so no
    # tablet events.
    "$SRC/configure" -prefix "$OUT" -release -xplatform win32-g++ -qt-host-path /usr \
        -nomake examples -nomake tests -no-dbus -no-opengl -icu -no-zstd -qt-zlib -qt-pcre -qt-harfbuzz \
        -qt-freetype -qt-libpng -qt-libjpeg -qt-doubleconversion -no-feature-sql -no-feature-network \
        -feature-testlib -no-feature-concurrent -no-feature-xml -feature-printsupport -no-feature-tabletevent \
        -- -DCMAKE_TOOLCHAIN_FILE="$cache/toolchain.cmake" -DVANTOREL_WINDOWS_ROOT="$ROOT" \
        -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake > configure.log
    cmake --build . --parallel "$jobs"
    cmake --install . > /dev/null
    # Qt's own texts in Chinese: the very file Linux uses (qt6-translations-l10n).
    mkdir -p "$OUT/translations"
    cp /usr/share/qt6/translations/qtbase_zh_CN.qm "$OUT/translations/"
}

build_qtcharts() {
    # shellcheck disable=SC2046
    cmake -S "$SRC" -B . $(toolchain_args) -DQT_HOST_PATH=/usr \
          -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake -DCMAKE_PREFIX_PATH="$ROOT" \
          -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF > configure.log
    cmake --build . --parallel "$jobs"
    cmake --install . > /dev/null
}

# --- The machinery.

mkdir -p "$cache"/{apt/lists/partial,apt/cache/archives/partial,downloads,built,work}
cp "$here/toolchain.cmake" "$cache/toolchain.cmake"

# Debian's source index, kept in the cache: the system's apt settings are
# left as they are, and no root is needed.
cat > "$cache/apt/sources.list" <<'EOF'
deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian bookworm main
EOF
apt_opts=(-o Dir::Etc::SourceList="$cache/apt/sources.list" -o Dir::Etc::SourceParts=/nonexistent
          -o Dir::State::Lists="$cache/apt/lists" -o Dir::Cache="$cache/apt/cache" -o Debug::NoLocking=1
          -o APT::Get::Only-Source=true)
if [ -z "$(find "$cache/apt/lists" -name '*Sources*' -mmin -1440 2>/dev/null)" ]; then
    # Once a day at most; without the network the index already there serves.
    apt-get "${apt_opts[@]}" update > "$cache/apt/update.log" 2>&1 ||
        [ -n "$(find "$cache/apt/lists" -name '*Sources*')" ] ||
        { cat "$cache/apt/update.log" >&2; exit 1; }
fi

# The .dsc file apt would fetch for a source package, e.g. icu_72.1-3+deb12u1.dsc.
dsc_of() {
    apt-get "${apt_opts[@]}" source --print-uris "$1" 2>/dev/null |
        awk -v p="$1" '$2 ~ "^" p "_.*\\.dsc$" {print $2; exit}'
}

# Unpacks a source package (downloaded once) into the current folder as src/.
# Where the mirror lacks the package's Debian part (seen: a 404 for
# libical3's .debian.tar.xz) the upstream tarball it names is used alone,
# without Debian's patches, and the log says so.
unpack() { # package dsc
    local dl="$cache/downloads/$1"
    if [ ! -f "$dl/$2.complete" ]; then
        rm -rf "$dl" && mkdir -p "$dl"
        if (cd "$dl" && apt-get "${apt_opts[@]}" source --download-only "$1" > fetch.log 2>&1); then
            touch "$dl/$2.complete"
        elif ! ls "$dl"/*.orig.tar.* > /dev/null 2>&1; then
            cat "$dl/fetch.log" >&2
            return 1
        fi
    fi
    if [ -f "$dl/$2.complete" ]; then
        dpkg-source --no-check -x "$dl/$2" src > unpack.log
    else
        echo "libraries: $1 without Debian's part (not on the mirror): the upstream tarball alone" >&2
        mkdir src
        tar -xf "$(ls "$dl"/*.orig.tar.* | grep -v '\.asc$' | head -n 1)" -C src --strip-components=1
    fi
}

short_hash() { sha256sum | cut -c1-16; }
toolchain_key=$( { cat "$cache/toolchain.cmake"; $host-g++-posix --version | head -n1; } | short_hash)

# Runs library $1's recipe in $work, going on with what is there under the same key.
recipe() {
    local status
    rm -rf "$out" "$work/root"
    mkdir -p "$work/build" "$out"
    # The libraries it is built on, merged by hard links.
    local root="$work/root" d
    mkdir -p "$root"
    for d in $deps; do cp -al --remove-destination "${folder[$d]}/." "$root/"; done
    rm -f "$root/.complete"
    # The recipe stops at its first failing command (set -e holds in a
    # subshell only where its status is not tested).
    set +e
    (
        set -e
        cd "$work"
        if [ ! -f key ]; then
            if [ "$package" != - ]; then unpack "$package" "$version"; fi
            echo "${key[$1]}" > key
        fi
        cd build
        SRC="$work/src" OUT="$out" ROOT="$root"
        export SRC OUT ROOT
        "build_$1"
    ) >> "$work/build.log" 2>&1
    status=$?
    set -e
    return $status
}

failed() {
    echo "libraries: building $1 failed; the end of $work/build.log:" >&2
    tail -n 40 "$work/build.log" >&2
    exit 1
}

declare -A key=() folder=()
built=0
for line in "${libraries[@]}"; do
    read -r name package deps <<< "$line"
    if [ "$package" = - ]; then
        version=$(cat "$here/$name"/* | short_hash)
    else
        version=$(dsc_of "$package")
        [ -n "$version" ] || { echo "libraries: no source package $package in Debian's index" >&2; exit 1; }
    fi
    dep_keys=""
    for d in $deps; do dep_keys+=" ${key[$d]}"; done
    key[$name]=$( { echo "$version $toolchain_key$dep_keys"; declare -f "build_$name"; } | short_hash)
    out="$cache/built/$name-${key[$name]}"
    folder[$name]=$out
    [ -f "$out/.complete" ] && continue

    echo "libraries: building $name from ${version%.dsc} (a log in $cache/work/$name)"
    start=$(date +%s)
    work="$cache/work/$name"
    if [ "$(cat "$work/key" 2> /dev/null)" = "${key[$name]}" ]; then
        echo "libraries: going on with the build of $name that an earlier run left"
        recipe "$name" || {
            echo "libraries: going on failed; building $name afresh"
            rm -rf "$work"
            recipe "$name"
        } || failed "$name"
    else
        rm -rf "$work"
        recipe "$name" || failed "$name"
    fi
    echo "$package ${version%.dsc} $(( $(date +%s) - start )) s" > "$out/.complete"
    rm -rf "$work"
    built=$((built + 1))
    echo "libraries: $name built in $(( $(date +%s) - start )) s"
done

# Older builds of a library are dropped once the new one is complete.
for d in "$cache"/built/*; do
    keep=0
    for name in "${!folder[@]}"; do [ "$d" = "${folder[$name]}" ] && keep=1; done
    [ $keep = 1 ] || rm -rf "$d"
done

# Every library in one folder, made anew when any of them changed.
want=$(for line in "${libraries[@]}"; do read -r name _ <<< "$line"; echo "${folder[$name]}"; done)
if [ ! -f "$prefix/.complete" ] || [ "$(cat "$prefix/.complete")" != "$want" ]; then
    rm -rf "$prefix"
    mkdir -p "$prefix"
    while read -r f; do cp -al --remove-destination "$f/." "$prefix/"; done <<< "$want"
    echo "$want" > "$prefix/.complete"
fi
echo "libraries: $built built, $(( ${#libraries[@]} - built )) taken from the cache"
echo "$prefix"
