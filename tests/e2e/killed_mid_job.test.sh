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

# True once a job shows with sheets printed; sets SHOWN to their count.
job_progress_shown()
{
    [[ $(screen_row 8) =~ "Current Printing Job {UID = 0, "([0-9]+)/8\} ]] || return 1
    SHOWN=${BASH_REMATCH[1]}
    ((SHOWN >= 3))
}

start_quillbay killed "$dir"
type_line "admin Add User ann"
type_line "admin Refill Ink=200 Paper=10"
wait_for_row 6 " Printer Status : Waiting... | INK : 200 | PAPER : 10" 30
type_line "ann Print doc.txt"

pid=$(pane_value '#{pane_pid}')
wait_until 20 job_progress_shown || fail "the job never showed 3 sheets printed"
kill -STOP "$pid"
job_progress_shown
kill -KILL "$pid"

outputs=("$dir"/PRINT/*)
[ ${#outputs[@]} = 1 ] || fail "PRINT holds ${#outputs[@]} files: ${outputs[*]}"
lines=$(wc -l <"${outputs[0]}")
# The sheet after the one shown may have been written just before the stop.
((lines == 10 * SHOWN || lines == 10 * (SHOWN + 1))) ||
    fail "the screen showed $SHOWN sheets printed, the file holds $lines lines"
head -n "$lines" "$dir/doc.txt" | cmp - "${outputs[0]}" || fail "the output file is not the input's first $lines lines"
echo PASS
