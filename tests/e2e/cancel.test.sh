#!/usr/bin/env bash
# Cancelling: a user without jobs is told so; a user's job being printed is
# ended at the next engine step, even with a refill due, and its output file
# keeps exactly the sheets printed before.
source "$(dirname "$0")/lib.sh"

# 70 lines of 2 letters: 8 sheets of 20 ink each (the last one empty of ink).
dir=$E2E_DIR/cancel
mkdir "$dir"
for ((i = 1; i <= 70; i++)); do
    echo ab
done >"$dir/doc.txt"

# True once the cancel step shows; sets INK, PAPER and JOB_ROW from that
# same look at the screen.
cancel_shown()
{
    local lines
    mapfile -t lines < <(screen)
    [[ ${lines[6]} =~ "Printer Status : Request Cancel | INK : "([0-9]+)" | PAPER : "([0-9]+) ]] || return 1
    INK=${BASH_REMATCH[1]}
    PAPER=${BASH_REMATCH[2]}
    JOB_ROW=${lines[8]}
}

start_quillbay cancel "$dir"
type_line "admin Add User ann"
type_line "admin Add User bob"
type_line "admin Refill Ink=200 Paper=10"
wait_for_row 6 " Printer Status : Waiting... | INK : 200 | PAPER : 10" 30

type_line "bob Cancel"
wait_for_row 21 " ERROR:UID : 1 Job not found."

type_line "ann Print doc.txt"
wait_until 15 printing_at_least 0 8 2 || fail "the job never printed 2 sheets"
# Stock that the printer could take: a refill is due at the next step.
type_line "admin Refill Paper=5"
type_line "ann Cancel"

wait_until 5 cancel_shown || fail "the cancel request never showed"
sheets=$((10 - PAPER))
((INK == 200 - 20 * sheets)) || fail "ink $INK does not match $sheets printed sheets"
((sheets >= 2 && sheets < 8)) || fail "$sheets sheets printed before the cancel"
[ "$JOB_ROW" = "$(framed "")" ] || fail "row 8 shows a job while the cancel is carried out"

# The refill comes after the cancel, and the job does not come back.
wait_for_row 6 " Printer Status : Waiting... | INK : $((200 - 20 * sheets)) | PAPER : $((15 - sheets))" 5
wait_for_ticks 2
rows_are 6 " Printer Status : Waiting... | INK : $((200 - 20 * sheets)) | PAPER : $((15 - sheets))" 8 "" ||
    fail "the cancelled job went on"

outputs=("$dir"/PRINT/*)
[ ${#outputs[@]} = 1 ] || fail "PRINT holds ${#outputs[@]} files: ${outputs[*]}"
head -n $((10 * sheets)) "$dir/doc.txt" | cmp - "${outputs[0]}" ||
    fail "the output file does not hold exactly the $sheets sheets printed"
echo PASS
