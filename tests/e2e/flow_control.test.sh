#!/usr/bin/env bash
# Ctrl-S never stops the printer: flow control is off while the program
# runs, so the key reaches the prompt, where it is ignored, and the job goes
# on printing. (signal_ends checks that it is back after the end.)
source "$(dirname "$0")/lib.sh"

dir=$E2E_DIR/flow
mkdir "$dir"
for ((i = 1; i <= 40; i++)); do echo "line $i"; done >"$dir/doc.txt"

start_quillbay flow "$dir"
tty=$(pane_value '#{pane_tty}')
[[ $(stty -a -F "$tty") == *" -ixon"* ]] || fail "flow control is on while the program runs"
type_line "admin Add User ann"
type_line "admin Refill Ink=300 Paper=10"
wait_for_row 6 " Printer Status : Waiting... | INK : 300 | PAPER : 10" 30
type_line "ann Print doc.txt"
wait_until 10 printing_at_least 0 5 0 || fail "the job never started"
send_text "ab"
send_keys C-s
send_text "c"
wait_for_at 22 2 ">>abc" 5
wait_for_row 6 " Printer Status : Waiting... | INK : 69 | PAPER : 5" 15
cmp "$dir/doc.txt" "$dir"/PRINT/2* || fail "the job did not print whole"
echo PASS
