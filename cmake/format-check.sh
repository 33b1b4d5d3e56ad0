#!/usr/bin/env bash
# Fails when clang-format would change a source file: the style is .clang-format's.
#   format-check.sh SOURCE_DIR
set -euo pipefail
cd "$1"
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    mapfile -t files < <(git ls-files -- '*.cpp' '*.h')
else
    # Not the generated sources of build folders, whatever their names: each holds a CMakeCache.txt.
    prune=(-path './build*')
    while read -r b; do prune+=(-o -path "$b"); done < <(find . -name CMakeCache.txt -printf '%h\n')
    mapfile -t files < <(find . \( "${prune[@]}" \) -prune -o \( -name '*.cpp' -o -name '*.h' \) -print)
fi
bad=()
for f in "${files[@]}"; do
    [ -f "$f" ] || continue
    clang-format --dry-run -Werror "$f" >/dev/null 2>&1 || bad+=("$f")
done
if [ ${#bad[@]} -gt 0 ]; then
    echo "not formatted as .clang-format says (mend with: clang-format -i FILE):"
    printf '    %s\n' "${bad[@]}"
    clang-format --dry-run "${bad[0]}" 2>&1 | head -n 20
    exit 1
fi
echo "format check: ${#files[@]} files as .clang-format says"
