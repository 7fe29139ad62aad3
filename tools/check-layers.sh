#!/usr/bin/env bash
# Fails when an #include runs upward between the source folders. The
# layers, lowest first: common, list, engine, administration, then terminal
# and line side by side. A file may include its own folder and the folders
# below it, nothing else.
set -u
cd "${1:-$(dirname "$0")/..}" || exit 2

# One awk reads every file: the check runs beside the other tests, where a
# process or two per file would cost seconds. Exit status 1 for any.
find common list engine administration terminal line \( -name '*.h' -o -name '*.cpp' \) -print0 2>/dev/null |
    xargs -0 -r awk '
        BEGIN {
            split("common:0 list:1 engine:2 administration:3 terminal:4 line:4", pairs, " ")
            for (i in pairs) {
                split(pairs[i], pair, ":")
                layer[pair[1]] = pair[2]
            }
        }
        /^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"]+"/ {
            included = $0
            sub(/^[^"]*"/, "", included)
            sub(/".*$/, "", included)
            folder = FILENAME
            sub(/\/.*$/, "", folder)
            target = included
            sub(/\/.*$/, "", target)
            if (target != folder && target in layer && layer[target] >= layer[folder]) {
                print FILENAME ":" FNR ": includes " included ", which is not below " folder "/"
                status = 1
            }
        }
        END {
            if (!status)
                print "every include runs downward"
            exit status
        }' || exit 1
