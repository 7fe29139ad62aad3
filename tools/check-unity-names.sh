#!/usr/bin/env bash
# Fails when two source files that compile as one unit (CMake's unity
# builds) define a file-private name alike: a static function or variable,
# or a constant of the file. The compiler refuses most such clashes, but
# two static functions of one name and different parameters would quietly
# become overloads, and a call could reach the other file's.
# Usage: tools/check-unity-names.sh BUILD_DIR
set -u
build=${1:?usage: $0 BUILD_DIR}
units=$(find "$build/CMakeFiles" -path '*/Unity/unity_*.cxx' 2>/dev/null | sort)
[ -n "$units" ] || { echo "no unity units under $build: nothing to check"; exit 0; }

status=0
for unit in $units; do
    sources=()
    while IFS= read -r source; do
        [ -f "$source" ] && sources+=("$source")  # a unit a past configuration left names gone files
    done < <(sed -n 's/^#include "\(.*\)"$/\1/p' "$unit")
    [ "${#sources[@]}" -gt 1 ] || continue
    # NAME FILE for each file-private name that a line at the left margin
    # defines; a table of an unnamed struct type is named on its closing line.
    clashes=$(awk '
        FNR == 1 { isInTable = 0 }
        isInTable && /^\} *[A-Za-z_]/ {
            name = $2
            sub(/[^A-Za-z0-9_].*$/, "", name)
            print name, FILENAME
            isInTable = 0
            next
        }
        /^(static|constexpr|const) / {
            line = $0
            if (line ~ /\{$/ && line !~ /[(=]/) {
                isInTable = 1
                next
            }
            equals = index(line, "=")
            paren = index(line, "(")
            if (paren > 0 && (equals == 0 || paren < equals))
                line = substr(line, 1, paren - 1)
            else
                sub(/ *(\[|=|;|\{).*$/, "", line)
            n = split(line, words, /[^A-Za-z0-9_]+/)
            while (n > 0 && words[n] == "")
                n--
            if (n > 0)
                print words[n], FILENAME
        }' "${sources[@]}" | sort | awk '
        $1 == last && $2 != lastFile { print "  " $1 " in " lastFile " and " $2 }
        { last = $1; lastFile = $2 }')
    if [ -n "$clashes" ]; then
        echo "$unit: file-private names defined twice in one unit:"
        echo "$clashes"
        status=1
    fi
done
[ "$status" = 0 ] && echo "no unit defines a file-private name twice"
exit "$status"
