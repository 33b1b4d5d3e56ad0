#!/usr/bin/env bash
# Gathers the Windows program with everything it loads into BUILD/stage and
# makes the installer BUILD/Vantorel-Setup-VERSION.exe with NSIS.
# Usage: package.sh BUILD PREFIX   (PREFIX: the libraries' folder, libraries.sh)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
src=$(cd "$here/../.." && pwd)
build=$(cd "$1" && pwd)
prefix="$2"
stage="$build/stage"
host=x86_64-w64-mingw32
# Where the DLLs come from: the libraries, then mingw-w64's C++ and thread runtimes.
dll_dirs=("$prefix/bin" /usr/lib/gcc/$host/12-posix /usr/$host/lib)

rm -rf "$stage"
mkdir -p "$stage/plugins/platforms" "$stage/plugins/styles" "$stage/translations"
cp "$build/app/vantorel.exe" "$build/tools/vantorel-data.exe" "$stage/"
# The platform plugin, and the style plugin that gives the native look where built.
cp "$prefix/plugins/platforms/qwindows.dll" "$stage/plugins/platforms/"
cp "$prefix"/plugins/styles/*.dll "$stage/plugins/styles/" 2>/dev/null || true
# Qt's own texts in Chinese (the same file as on Linux).
cp "$prefix/translations/qtbase_zh_CN.qm" "$stage/translations/"
# Qt finds its plugins and texts beside the program, not under the prefix it was built for.
printf '[Paths]\nPrefix = .\nPlugins = plugins\nTranslations = translations\n' > "$stage/qt.conf"

# Every DLL that the programs and plugins import, and those those import, from
# the folders above; Windows' own (KERNEL32.dll and the like) are in none of them.
declare -A seen=()
queue=("$stage"/*.exe "$stage"/plugins/*/*.dll)
while [ ${#queue[@]} -gt 0 ]; do
    file=${queue[0]}
    queue=("${queue[@]:1}")
    while read -r dll; do
        key=${dll,,}
        [ -n "${seen[$key]:-}" ] && continue
        seen[$key]=1
        for d in "${dll_dirs[@]}"; do
            # File names match whatever their case (Windows' names do).
            found=$(find "$d" -maxdepth 1 -iname "$dll" -print -quit 2>/dev/null)
            if [ -n "$found" ]; then
                cp "$found" "$stage/"
                queue+=("$stage/$(basename "$found")")
                break
            fi
        done
    done < <($host-objdump -p "$file" | sed -n 's/^\s*DLL Name: //p')
done
# Smaller programs and DLLs; the debug symbols are no use to a user.
find "$stage" -name '*.exe' -o -name '*.dll' | xargs $host-strip --strip-unneeded

# The uninstaller's list: every file, then the folders, deepest first.
files="$build/installed-files.nsh"
(cd "$stage" && find . -type f | sort | sed 's|^\./||; s|/|\\|g; s|.*|  Delete "$INSTDIR\\&"|'
 cd "$stage" && find . -mindepth 1 -type d | sort -r | sed 's|^\./||; s|/|\\|g; s|.*|  RMDir "$INSTDIR\\&"|') > "$files"

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
out="$build/Vantorel-Setup-$version.exe"
rm -f "$out"
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DSTAGE="$stage" -DOUTFILE="$out" -DFILES="$files" \
         -DICON="$src/resources/windows/vantorel.ico" "$src/resources/windows/vantorel.nsi"
echo "windows: $out ($(du -k "$out" | cut -f1) KiB)"
