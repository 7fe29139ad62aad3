#!/usr/bin/env bash
# Fails when an #include runs upward between the source folders. The
# layers, lowest first: common, list, engine, administration; then the
# terminal's prompt, screen and loop; then the terminal programs' entry
# (terminal/ itself) beside the line-mode program; last the programs'
# settings records and entry files (terminal/programs/). A file may include
# its own folder and the folders below it, nothing else.
set -u
cd "${1:-$(dirname "$0")/..}" || exit 2

# One awk reads every file: the check runs beside the other tests, where a
# process or two per file would cost seconds. Exit status 1 for any.
find common list engine administration terminal line \( -name '*.h' -o -name '*.cpp' \) -print0 2>/dev/null |
    xargs -0 -r awk '
        BEGIN {
            count = split("common:0 list:1 engine:2 administration:3 terminal/prompt:4 terminal/screen:5 " \
                          "terminal/loop:6 terminal:7 line:7 terminal/programs:8", pairs, " ")
            for (i = 1; i <= count; i++) {
                split(pairs[i], pair, ":")
                layer[pair[1]] = pair[2]
            }
        }
        # The folder a path lies in: the longest layer that begins it.
        function folderOf(path,    folder, best) {
            best = ""
            for (folder in layer) {
                if (index(path, folder "/") == 1 && length(folder) > length(best))
                    best = folder
            }
            return best
        }
        /^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"]+"/ {
            included = $0
            sub(/^[^"]*"/, "", included)
            sub(/".*$/, "", included)
            folder = folderOf(FILENAME)
            target = folderOf(included)
            if (target != "" && target != folder && layer[target] >= layer[folder]) {
                print FILENAME ":" FNR ": includes " included ", which is not below " folder "/"
                status = 1
            }
        }
        END {
            if (!status)
                print "every include runs downward"
            exit status
        }' || exit 1
