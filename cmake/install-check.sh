#!/usr/bin/env bash
# Does setup.sh install everything the build used? A clean Debian machine gets
# only the packages that setup.sh lists and what they depend on, so every file
# the build took from the system must come from one of those:
#   - the CMake files the configure step read
#   - the tools in CMake's cache (compiler, linker, ninja) and the programs the tests run
#   - the headers the compiler read
#   - the libraries and tools the link and code-generation steps took
#     and the shared libraries the built programs load (ldd)
# A Ninja build tells these by ninja's own tools (the inputs of build.ninja and
# of every edge, the deps log). A Unix Makefiles build tells them by CMake's
# files: the configure step's list in CMakeFiles/Makefile.cmake, each target's
# build.make (libraries, tools) and the code generators' Auto*Info.json, and
# the compiler's dependency files (*.o.d) beside the objects. Its make program
# is the generator's, not setup.sh's (setup.sh builds with Ninja): it is named,
# not checked. Any other generator is skipped.
# What `./setup.sh run` builds is checked against the run list alone (its build
# is configured afresh here, with Ninja, without compiling); everything else
# against both lists. Each gap is named with the package that owns the file and
# the list to add it to.
#
# Usage: install-check.sh SOURCE_DIR BUILD_DIR
# Exit status: 0 all covered, 1 gaps found, 77 skipped (not a Debian system, or
# a build this check cannot read), with the reason printed.
set -euo pipefail
src=$(cd "$1" && pwd)
build=$(cd "$2" && pwd)

if ! command -v dpkg-query >/dev/null || ! command -v apt-cache >/dev/null; then
    echo "skipped: no dpkg/apt here, so this is not a Debian system"
    exit 77
fi

# How a build folder is read: "ninja", "make", or "" (not a build this check can read).
kind() { # $1 build folder
    local generator
    generator=$(sed -n 's/^CMAKE_GENERATOR:INTERNAL=//p' "$1/CMakeCache.txt" 2>/dev/null || true)
    case "$generator" in
    Ninja) [ -f "$1/build.ninja" ] && echo ninja ;;
    "Unix Makefiles") [ -f "$1/CMakeFiles/Makefile.cmake" ] && echo make ;;
    esac
    return 0
}
# The files of one kind in a Makefiles build, not in the folders that are
# builds of their own (the Windows check's, this check's).
make_files() { # $1 build folder, $2 name pattern
    find "$1" \( -path "$1/windows" -o -path "$1/install-check" \) -prune -o -type f -name "$2" -print
}
make_program() { # $1 build folder
    sed -n 's/^CMAKE_MAKE_PROGRAM:FILEPATH=//p' "$1/CMakeCache.txt"
}
build_kind=$(kind "$2")
if [ -z "$build_kind" ]; then
    generator=$(sed -n 's/^CMAKE_GENERATOR:INTERNAL=//p' "$2/CMakeCache.txt" 2>/dev/null || true)
    echo "skipped: $2 was generated for '${generator:-no known generator}'; this check reads only" \
         "Ninja and Unix Makefiles builds"
    exit 77
fi
if [ "$build_kind" = make ] && [ -n "$(make_files "$2" '*.o' | head -n 1)" ] &&
    [ -z "$(make_files "$2" '*.o.d' | head -n 1)" ]; then
    echo "skipped: the compiler left no dependency files (*.o.d) in $2, so the headers it read are unknown"
    exit 77
fi
if [ "$build_kind" = make ]; then
    echo "install check: a Unix Makefiles build; its make program $(make_program "$2") is not checked" \
         "(setup.sh builds with Ninja, which is)"
fi
export LC_ALL=C
trap 'echo "install check: stopped by a failing command at line $LINENO" >&2' ERR
work="$build/install-check"
mkdir -p "$work"

mapfile -t run_list < <("$src/setup.sh" packages run)
mapfile -t all_list < <("$src/setup.sh" packages test)
mapfile -t run_options < <("$src/setup.sh" cmake-options run)
declare -A in_run=()
for p in "${run_list[@]}"; do in_run[$p]=1; done
test_list=()
for p in "${all_list[@]}"; do [ -n "${in_run[$p]:-}" ] || test_list+=("$p"); done
failures=0

# --- Every listed name must be a real package that is installed: dpkg-query
# never reports a virtual name as installed, so setup.sh would run apt-get
# (through sudo) on every start.
declare -A replace=()
for p in "${all_list[@]}"; do
    status=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)
    [ "$status" = installed ] && continue
    list=test
    [ -n "${in_run[$p]:-}" ] && list=run
    providers=$(apt-cache showpkg "$p" 2>/dev/null |
                awk '/^Reverse Provides:/ {on=1; next} on && NF {print $1}' | sort -u | tr '\n' ' ')
    versions=$(apt-cache showpkg "$p" 2>/dev/null | awk '/^Versions:/ {getline; print}')
    if [ -n "$providers" ] && [ -z "$versions" ]; then
        echo "GAP ($list list): '$p' is only a virtual name, provided by: ${providers% }."
        echo "    dpkg-query never reports it installed, so setup.sh calls apt-get on every run;"
        echo "    list the real package instead: replace $p with ${providers%% *} in the $list list."
        replace[$p]="${providers% }"
    else
        echo "GAP ($list list): '$p' is listed but not installed; run ./setup.sh test (is the name right?)"
    fi
    failures=$((failures + 1))
done

# The packages a clean machine gets for a list: the listed ones (virtual names
# by their providers) and everything they depend on, recursively.
closure() {
    local names=() p
    for p in "$@"; do
        if [ -n "${replace[$p]:-}" ]; then names+=(${replace[$p]}); else names+=("$p"); fi
    done
    { apt-cache depends --recurse --no-recommends --no-suggests --no-conflicts --no-breaks \
                        --no-replaces --no-enhances "${names[@]}" 2>/dev/null || true; } |
        awk '/^[^ ]/ {print} /^    [^ ]/ {print $1}' | tr -d '<>' | sed 's/:any$//' | sort -u
}
closure "${run_list[@]}" > "$work/closure-run"
closure "${all_list[@]}" > "$work/closure-test"

# --- What a build took from the system, as "what<TAB>path" lines.
configure_files() { # $1 build folder
    if [ "$(kind "$1")" = ninja ]; then
        ninja -C "$1" -t inputs build.ninja
    else
        awk '/^set\(CMAKE_MAKEFILE_DEPENDS$/ {on = 1; next}
             on && /^ *\)/ {exit}
             on {gsub(/^ *"|"$/, ""); print}' "$1/CMakeFiles/Makefile.cmake"
    fi | sed 's/^/configure step read\t/'
    # A Makefiles build's make program is its builder's choice, named above.
    sed -n 's/^CMAKE_[A-Z_]*:FILEPATH=\(\/.*\)$/configure step chose tool\t\1/p
            s/^CMAKE_\(CTEST_\)\{0,1\}COMMAND:INTERNAL=\(\/.*\)$/build ran\t\2/p' "$1/CMakeCache.txt" |
        if [ "$(kind "$1")" = make ]; then
            grep -vxF "configure step chose tool"$'\t'"$(make_program "$1")" || true
        else
            cat
        fi
}
link_inputs() { # $1 build folder, then targets (none: all; a Makefiles build gives all)
    local dir=$1; shift
    if [ "$(kind "$dir")" = ninja ]; then
        ninja -C "$dir" -t inputs "$@"
    else
        # "target: input" lines of every target's rules; the moc, uic and rcc that AUTOGEN runs.
        make_files "$dir" build.make | xargs -r -d '\n' awk -F': ' '/^[^#\t ][^:]*: / {print $2}'
        make_files "$dir" 'Auto*Info.json' | xargs -r -d '\n' \
            sed -n 's/^[[:space:]]*"\(QT_\)\{0,1\}[A-Z]*_EXECUTABLE" : "\(\/[^"]*\)".*/\2/p'
    fi | sed 's/^/link or code generation took\t/'
}
programs() { # $1 build folder: its executables, relative to it
    if [ "$(kind "$1")" = ninja ]; then
        ninja -C "$1" -t targets all | awk -F': ' '$2 ~ /EXECUTABLE_LINKER/ {print $1}'
    else
        # The output of a link.txt rule whose step says it links an executable.
        make_files "$1" build.make | xargs -r -d '\n' awk '
            FNR == 1 {out = ""}
            /^[^#\t ][^:]*: [^ ]*\/link\.txt$/ {out = $1; sub(/:$/, "", out); next}
            out != "" && /"Linking [A-Za-z]+ executable / {print out; out = ""}'
    fi
}
headers() { # $1 build folder, then objects (none: all)
    local dir=$1; shift
    if [ "$(kind "$dir")" = ninja ]; then
        ninja -C "$dir" -t deps "$@" | awk '/^    / {print "compiler read\t" $1}'
        return
    fi
    # The compiler's own list: "object: source header ... \" lines.
    {
        if [ $# -eq 0 ]; then
            make_files "$dir" '*.o.d'
        else
            for o in "$@"; do if [ -f "$dir/$o.d" ]; then echo "$dir/$o.d"; fi; done
        fi
    } | xargs -r -d '\n' awk 'FNR == 1 {sub(/^[^:]*:/, "")}
                               {for (i = 1; i <= NF; i++) if ($i != "\\") print "compiler read\t" $i}'
}
loads() { # $1 build folder, then its programs
    local dir=$1 prog; shift
    for prog in "$@"; do
        # Only this system's programs: the Windows check's .exe files load nothing from it.
        [ -x "$dir/$prog" ] && head -c 4 "$dir/$prog" | cmp -s - <(printf '\177ELF') || continue
        { ldd "$dir/$prog" 2>/dev/null || true; } | awk -v p="$prog" '
            /=> not found/ {print "NOT FOUND\t" $1 " (needed by " p ")"; next}
            /=> \// {print "program loads\t" $3; next}
            /^\t\// {print "program loads\t" $1}'
    done
}
test_commands() { # $1 build folder: the first word of every test command
    find "$1" -name CTestTestfile.cmake -exec sed -n 's/^add_test([^ ]* "\([^"]*\)".*/\1/p' {} + |
        sort -u | while read -r cmd; do
            case "$cmd" in /*) ;; *) cmd=$(command -v "$cmd" || true) ;; esac
            if [ -n "$cmd" ]; then printf 'tests ran\t%s\n' "$cmd"; fi
        done
}
everything() { # $1 a configured and built folder
    [ -n "$(kind "$1")" ] || return 0
    configure_files "$1"
    link_inputs "$1"
    headers "$1"
    mapfile -t progs < <(programs "$1")
    loads "$1" "${progs[@]}"
    test_commands "$1"
}

# The run build, configured as `./setup.sh run` does; its objects and programs
# have the same paths in this build, where they are compiled already.
run_dir="$work/run-config"
if cmake -S "$src" -B "$run_dir" -G Ninja "${run_options[@]}" > "$work/run-config.log" 2>&1; then
    mapfile -t run_objects < <(ninja -C "$run_dir" -t inputs all | grep '\.o$' || true)
    mapfile -t run_programs < <(programs "$run_dir")
    {
        configure_files "$run_dir"
        link_inputs "$run_dir" all
        [ ${#run_objects[@]} -eq 0 ] || headers "$build" "${run_objects[@]}"
        loads "$build" "${run_programs[@]}"
    } | sed 's/^/run\t/' > "$work/used.run"
else
    echo "GAP (run list): configuring as './setup.sh run' does failed:"
    sed 's/^/    /' "$work/run-config.log" | tail -n 20
    failures=$((failures + 1))
    : > "$work/used.run"
fi
{
    cat "$work/used.run"
    everything "$build" | sed 's/^/test\t/'
    everything "$build/windows" | sed 's/^/test\t/'
} | awk -F'\t' -v src="$src/" -v bld="$build/" '
    $3 !~ /^\// && $2 != "NOT FOUND" {next}           # relative: inside the build folder
    index($3, src) == 1 || index($3, bld) == 1 {next}  # our own sources and build
    !seen[$1 FS $3]++' > "$work/used"

# Libraries a program could not find are gaps whatever the lists say.
while IFS=$'\t' read -r list what file; do
    echo "GAP ($list list): shared library $file is not installed"
    failures=$((failures + 1))
done < <(awk -F'\t' '$2 == "NOT FOUND"' "$work/used")

# --- Which package owns each file: one dpkg-query call for all of them. A path
# is asked as written, with . and .. resolved, with links resolved, and under
# its other name where /bin, /lib and /sbin are links into /usr.
awk -F'\t' '$2 != "NOT FOUND" {print $3}' "$work/used" | sort -u > "$work/paths"
xargs -r -d '\n' realpath -s -m -- < "$work/paths" > "$work/paths.plain"
xargs -r -d '\n' realpath -m -- < "$work/paths" > "$work/paths.real"
paste "$work/paths" "$work/paths.plain" "$work/paths.real" > "$work/forms"
tr '\t' '\n' < "$work/forms" |
    sed -E 'p; s#^/usr/(bin|sbin|lib|lib32|lib64|libx32)/#/\1/#; t; s#^/(bin|sbin|lib|lib32|lib64|libx32)/#/usr/\1/#' |
    sort -u > "$work/asked"
xargs -r -d '\n' dpkg-query -S -- < "$work/asked" 2>/dev/null |
    awk '/^diversion by/ {next}
         { i = index($0, ": "); pk = substr($0, 1, i - 1); f = substr($0, i + 2)
           gsub(/:[a-z0-9]+/, "", pk); gsub(/, /, " ", pk); print f "\t" pk }' > "$work/owners" || true

# Each file with its owners (the first form of its name that dpkg knows),
# checked against the closure of its list.
awk -F'\t' -v work="$work" '
    function other(g, a) {
        a = g
        if (a ~ /^\/usr\/(bin|sbin|lib|lib32|lib64|libx32)\//) return substr(a, 5)
        if (a ~ /^\/(bin|sbin|lib|lib32|lib64|libx32)\//) return "/usr" a
        return ""
    }
    FILENAME == work "/owners" { owner[$1] = $2; next }
    FILENAME == work "/closure-run" { ok["run", $1] = 1; next }
    FILENAME == work "/closure-test" { ok["test", $1] = 1; next }
    FILENAME == work "/forms" { forms[$1] = $1 "\t" $2 "\t" $3; next }
    $2 == "NOT FOUND" { next }
    {
        list = $1; what = $2; file = $3
        n = split(forms[file], f, "\t"); pk = ""
        for (i = 1; i <= n && pk == ""; i++) {
            if (f[i] in owner) pk = owner[f[i]]
            else if (other(f[i]) in owner) pk = owner[other(f[i])]
        }
        if (pk == "") { print list "\t-\t" what "\t" file; next }
        m = split(pk, cands, " "); covered = 0
        for (c = 1; c <= m; c++) if (ok[list, cands[c]]) covered = 1
        if (!covered) print list "\t" pk "\t" what "\t" file
    }' "$work/owners" "$work/closure-run" "$work/closure-test" "$work/forms" "$work/used" > "$work/gaps"

# A file the run build needs and the run list lacks is reported once, for the
# run list; the test build needs it too.
awk -F'\t' '$1 == "run" {print $4}' "$work/gaps" > "$work/run-gap-files"
awk -F'\t' -v rg="$work/run-gap-files" 'BEGIN {while ((getline l < rg) > 0) r[l] = 1}
    $1 == "run" || !($4 in r)' "$work/gaps" > "$work/gaps.kept"

# Files of no package: each one named (a clean machine will not have them).
while IFS=$'\t' read -r list pk what file; do
    echo "GAP ($list list): $file ($what) belongs to no Debian package; a clean machine will not have it"
    failures=$((failures + 1))
done < <(awk -F'\t' '$2 == "-"' "$work/gaps.kept" | head -n 20)

# Files of packages: one line per package to add, with how many files need it
# and one of them (a CMake package file where there is one). A package that
# another missing one depends on is named with it, not on its own.
awk -F'\t' '$2 != "-" {
        key = $1 FS $2; n[key]++
        if (!(key in ex) || (ex[key] !~ /onfig\.cmake/ && $4 ~ /onfig\.cmake/)) { ex[key] = $4; wh[key] = $3 }
    }
    END {for (k in n) print k FS n[k] FS wh[k] FS ex[k]}' "$work/gaps.kept" | sort > "$work/gaps.by-package"
declare -A brought_by=()
while IFS=$'\t' read -r list pk count what file; do
    [[ "$pk" == *" "* ]] && continue
    while read -r dep; do
        [ "$dep" != "$pk" ] && brought_by[$list/$dep]=$pk
    done < <(apt-cache depends --recurse --no-recommends --no-suggests --no-conflicts --no-breaks \
                --no-replaces --no-enhances "$pk" 2>/dev/null | awk '/^[^ ]/' | tr -d '<>')
done < "$work/gaps.by-package"
while IFS=$'\t' read -r list pk count what file; do
    [ -n "${brought_by[$list/$pk]:-}" ] && continue
    with=""
    for k in "${!brought_by[@]}"; do
        if [ "${brought_by[$k]}" = "$pk" ] && [ "${k%%/*}" = "$list" ] &&
            grep -q "^$list	${k#*/}	" "$work/gaps.by-package"; then
            with+=" ${k#*/}"
            count=$((count + $(awk -F'\t' -v l="$list" -v p="${k#*/}" '$1 == l && $2 == p {print $3}' \
                                   "$work/gaps.by-package")))
        fi
    done
    echo "GAP ($list list): add ${pk// / or } to the $list list in setup.sh; $count file(s) of the build come from it${with:+ or from what it brings in (${with# })}, e.g."
    echo "    $file ($what)"
    failures=$((failures + 1))
done < "$work/gaps.by-package"

files=$(wc -l < "$work/paths")
echo "install check: $files system files used by the build; setup.sh lists ${#run_list[@]} packages for run," \
     "${#test_list[@]} more for test; a clean machine gets $(wc -l < "$work/closure-test") packages with their dependencies"
if [ "$failures" -gt 0 ]; then
    echo "install check: $failures gap(s): a clean machine that runs setup.sh would miss them"
    exit 1
fi
echo "install check: every file comes from a package that setup.sh installs"
