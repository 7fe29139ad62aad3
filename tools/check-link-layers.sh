#!/usr/bin/env bash
# Fails when a layer's library calls a function that only a library of its
# own layer or one above defines: the link-level twin of check-layers.sh.
# The terminal is three layers below the programs' entry: the prompt (keys,
# line editor, history, completion), which draws nothing; the screen, which
# calls nothing in the loop; the loop. Takes LAYER=LIBRARY pairs, lowest
# layer first; the terminal's entry and line share a layer. The only calls
# allowed upward are the two report entry points of common/Report.h, which
# the screen defines.
set -u
[ $# -gt 0 ] || { echo "usage: $0 common=libquillbay_common.a engine=... (lowest first)"; exit 2; }

declare -A RANK=([common]=0 [list]=1 [engine]=2 [administration]=3 [prompt]=4 [screen]=5 [loop]=6 [terminal]=7
    [line]=7)
ALLOWED=$'DisplayError(char const*)\ndisplay(int)'

# Strong definitions only: an inline function or a template instance (weak)
# may be defined wherever it is used.
defined()
{
    nm -C --defined-only "$1" | awk '$2 ~ /^[TDBR]$/' | cut -d' ' -f3- | sort -u
}

undefined()
{
    nm -C -u "$1" | sed -E 's/^ *U //' | sort -u
}

names=() libraries=()
for pair in "$@"; do
    names+=("${pair%%=*}")
    libraries+=("${pair#*=}")
done

status=0
for ((low = 0; low < ${#names[@]}; low++)); do
    calls=$(undefined "${libraries[low]}")
    for ((high = 0; high < ${#names[@]}; high++)); do
        [ "$high" = "$low" ] && continue
        [ "${RANK[${names[high]}]}" -ge "${RANK[${names[low]}]}" ] || continue
        up=$(comm -12 <(echo "$calls") <(defined "${libraries[high]}"))
        if [ "${RANK[${names[low]}]}" -lt "${RANK[${names[high]}]}" ]; then
            up=$(comm -23 <(echo "$up") <(echo "$ALLOWED" | sort))
        fi
        while IFS= read -r symbol; do
            [ -n "$symbol" ] || continue
            echo "${names[low]} calls $symbol, which ${names[high]} defines"
            status=1
        done <<<"$up"
    done
done
[ "$status" = 0 ] && echo "no library calls a layer above it but for DisplayError and display"
exit "$status"
