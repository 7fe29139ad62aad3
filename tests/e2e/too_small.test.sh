#!/usr/bin/env bash
# Started in a terminal smaller than 80x25 the program ends with status 1 and
# says why on standard error, leaving the terminal as it found it: out of the
# alternate screen, with the shell's terminal modes and prompt back.
source "$(dirname "$0")/lib.sh"

# columns rows
SIZES=(
    "60 20"
    "79 25"
    "80 24"
)

for size in "${SIZES[@]}"; do
    read -r columns rows <<<"$size"
    dir=$E2E_DIR/small${columns}x$rows
    mkdir "$dir"
    start_shell "small${columns}x$rows" "$dir" "$columns" "$rows"
    run_from_shell "'$QUILLBAY' 2>err"
    wait_for_shell_back 15 || fail "${columns}x$rows: the program did not end, or the shell did not go on"
    [ "$(cat "$dir/status")" = 1 ] || fail "${columns}x$rows: exit status $(cat "$dir/status"), expected 1"
    grep -q "80" "$dir/err" && grep -q "25" "$dir/err" ||
        fail "${columns}x$rows: standard error does not name the size needed: $(cat "$dir/err")"
    cmp -s "$dir/before" "$dir/after" || fail "${columns}x$rows: the terminal modes were not restored"
    [ "$(pane_value '#{alternate_on}')" = 0 ] || fail "${columns}x$rows: the pane is left in the alternate screen"
    [ ! -e "$dir/PRINT" ] || fail "${columns}x$rows: PRINT was made though the program did not start"
done
echo PASS
