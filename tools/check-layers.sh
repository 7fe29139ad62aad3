#!/usr/bin/env bash
# Fails when an #include runs upward between the source folders. The
# layers, lowest first: common, list, engine, administration, then terminal
# and line side by side. A file may include its own folder and the folders
# below it, nothing else.
set -u
cd "${1:-$(dirname "$0")/..}" || exit 2

declare -A LAYER=([common]=0 [list]=1 [engine]=2 [administration]=3 [terminal]=4 [line]=4)

status=0
while IFS= read -r -d '' file; do
    folder=${file%%/*}
    while IFS=: read -r number included; do
        target=${included%%/*}
        [ "$target" = "$folder" ] && continue
        [ -n "${LAYER[$target]+set}" ] || continue  # a system or third-party header
        if [ "${LAYER[$target]}" -ge "${LAYER[$folder]}" ]; then
            echo "$file:$number: includes $included, which is not below $folder/"
            status=1
        fi
    done < <(grep -n -o -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"]+"' "$file" |
             sed -E 's/^([0-9]+):.*"([^"]+)"/\1:\2/')
done < <(find common list engine administration terminal line \( -name '*.h' -o -name '*.cpp' \) -print0 2>/dev/null)
[ "$status" = 0 ] && echo "every include runs downward"
exit "$status"
