#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Gives every source file the licence's SPDX line as its first line (after a #! line): C++
# files `// SPDX-License-Identifier: GPL-3.0-or-later`, shell scripts and CMake files the same
# after `#`. Files that have it are left alone, so running it again changes nothing.
#
# Usage: scripts/add-spdx.sh           add the line where it is missing
#        scripts/add-spdx.sh --check   only list the files without it; exit 1 if there are any
#
# Source files are the tracked files (every file outside build folders when this is not a git
# checkout) named *.cpp, *.h, *.sh, *.cmake or CMakeLists.txt, and scripts starting with #!.
set -euo pipefail
cd "$(dirname "$0")/.."
identifier='SPDX-License-Identifier: GPL-3.0-or-later'

files() {
    if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
        git ls-files -z
    else
        find . -path './build*' -prune -o -path ./.git -prune -o -type f -printf '%P\0'
    fi
}

shebang() { [ "$(head -c2 "$1" | tr -d '\0')" = '#!' ]; }

# The comment that starts a line in FILE, or nothing when it is not a source file.
comment_of() {
    case "$1" in
    *.cpp | *.h) echo '//' ;;
    *.sh | *.cmake | CMakeLists.txt | */CMakeLists.txt) echo '#' ;;
    *) if shebang "$1"; then echo '#'; fi ;;
    esac
}

main() {
    local check=no missing=0 file comment line at
    case "${1:-}" in
    --check) check=yes ;;
    "") ;;
    *)
        echo "usage: $0 [--check]" >&2
        return 2
        ;;
    esac

    while IFS= read -r -d '' file; do
        [ -f "$file" ] && [ ! -L "$file" ] || continue
        comment=$(comment_of "$file")
        [ -n "$comment" ] || continue
        line="$comment $identifier"
        at=1
        shebang "$file" && at=2
        [ "$(sed -n "${at}p" "$file")" = "$line" ] && continue
        if [ "$check" = yes ]; then
            echo "no SPDX line: $file"
            missing=$((missing + 1))
            continue
        fi
        if [ "$at" -eq 2 ]; then
            awk -v line="$line" '{ print } NR == 1 { print line }' "$file" >"$file.spdx"
        else
            { echo "$line"; cat "$file"; } >"$file.spdx"
        fi
        # Written back in place, so that the file keeps its mode (scripts stay executable).
        cat "$file.spdx" >"$file"
        rm -f "$file.spdx"
        echo "added: $file"
    done < <(files)

    if [ "$check" = yes ]; then
        if [ "$missing" -gt 0 ]; then
            echo "$missing source files lack the SPDX line; run scripts/add-spdx.sh" >&2
            return 1
        fi
        echo "every source file has the SPDX line"
    fi
}

# On one line: bash must not read on in a file that main may have rewritten.
main "$@"; exit $?
