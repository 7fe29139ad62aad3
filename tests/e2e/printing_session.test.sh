#!/usr/bin/env bash
# A whole session: register a user, stock supplies, watch the printer fill
# (and the hint of a line typed meanwhile follow it), print a 25-line file
# sheet by sheet, and find exactly one output file under
# PRINT, named after the job's start time and holding the input's bytes.
source "$(dirname "$0")/lib.sh"

# Row 6 after "Printer Status : ", and row 8, at each engine step of the job:
# 25 lines of 20 letters need 500 ink and 3 sheets of 200, 200 and 100.
JOB_STEPS=(
    "Printing... | INK : 600 | PAPER : 10|Current Printing Job {UID = 0, 0/3} "
    "Printing... | INK : 400 | PAPER : 9|Current Printing Job {UID = 0, 1/3} "
    "Printing... | INK : 200 | PAPER : 8|Current Printing Job {UID = 0, 2/3} "
    "Waiting... | INK : 100 | PAPER : 7|"
)

dir=$E2E_DIR/session
mkdir "$dir"
for ((i = 1; i <= 25; i++)); do
    printf 'line%02dabcdefghijklmn\n' "$i"
done >"$dir/doc.txt"

start_quillbay session "$dir"
type_line "admin Add User ann"
type_line "admin Refill Ink=600 Paper=10"
wait_for_at 6 2 "Printer Status : Refilling..."
# Typed while the printer fills (a step moves 100 ink; the job needs 500),
# the line's hint follows the steps without another key.
send_text "ann Print doc.txt"
wait_for_row 22 " >>ann Print doc.txt"
expect_at 23 2 "refused: needs 500 ink, 3 sheets; the printer has "
wait_for_row 6 " Printer Status : Waiting... | INK : 600 | PAPER : 10" 60
expect_row 7 "                             Admin Supplies { ink = 0 paper = 0 }"
expect_row 23 " ann: doc.txt, 3 sheets, 500 ink"

before=$(date +%Y%m%d%H%M%S)
send_keys Enter
for step in "${JOB_STEPS[@]}"; do
    status=${step%|*}
    job=${step##*|}
    wait_until 10 rows_are 6 " Printer Status : $status" 8 "${job:+ $job}" || fail "never showed: $status / $job"
    [ "$status" = "${JOB_STEPS[0]%|*}" ] && started=$(date +%Y%m%d%H%M%S)
done
expect_row 21 ""

outputs=("$dir"/PRINT/*)
[ ${#outputs[@]} = 1 ] || fail "PRINT holds ${#outputs[@]} files: ${outputs[*]}"
name=$(basename "${outputs[0]}")
[[ $name =~ ^[0-9]{14}\.txt$ ]] || fail "the output file is named $name"
stamp=${name%.txt}
((before <= stamp && stamp <= started)) || fail "$name was not named after the job's start, between $before and $started"
cmp "$dir/doc.txt" "${outputs[0]}" || fail "the output file differs from the input"
echo PASS
