#!/usr/bin/env bash
# A program killed in the middle of a job leaves on disk every sheet that
# the screen showed as printed.
source "$(dirname "$0")/lib.sh"

# 70 lines of 2 letters: 8 sheets of 10 lines.
dir=$E2E_DIR/killed
mkdir "$dir"
for ((i = 1; i <= 70; i++)); do
    echo ab
done >"$dir/doc.txt"

# Not the pane's own process: tmux continues a pane's process that stops.
start_pane killed "$dir" "'$QUILLBAY'; echo \$? >status"
wait_for_at 22 2 ">>" 15
type_line "admin Add User ann"
type_line "admin Refill Ink=200 Paper=10"
wait_for_row 6 " Printer Status : Waiting... | INK : 200 | PAPER : 10" 30
type_line "ann Print doc.txt"

pid=$(pgrep -P "$(pane_value '#{pane_pid}')")
wait_until 20 printing_at_least 0 8 3 || fail "the job never showed 3 sheets printed"
kill -STOP "$pid"
outputs=("$dir"/PRINT/*)
[ ${#outputs[@]} = 1 ] || fail "PRINT holds ${#outputs[@]} files: ${outputs[*]}"
lines=$(wc -l <"${outputs[0]}")
# The terminal may not have taken all the program wrote before the stop: it
# has once it shows the sheet before the last one on disk, which the program
# drew before it wrote that last one.
wait_until 10 printing_at_least 0 8 $((lines / 10 - 1))
kill -KILL "$pid"
SHOWN=$PRINTED

# The sheet after the one shown may have been written just before the stop.
((lines == 10 * SHOWN || lines == 10 * (SHOWN + 1))) ||
    fail "the screen showed $SHOWN sheets printed, the file holds $lines lines"
head -n "$lines" "$dir/doc.txt" | cmp - "${outputs[0]}" || fail "the output file is not the input's first $lines lines"
echo PASS
