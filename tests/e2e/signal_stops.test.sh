#!/usr/bin/env bash
# Ctrl-Z then fg, again and again, while a job prints, gives the shell a
# sane terminal each time (flow control back) and brings back the whole
# screen, the job going on to print whole.
source "$(dirname "$0")/lib.sh"

dir=$E2E_DIR/stops
mkdir "$dir"
for ((i = 1; i <= 50; i++)); do echo "line $i"; done >"$dir/doc.txt"
# suspends PROGRAM: three stops and continues of PROGRAM while it prints.
suspends()
{
    local program=$1 round
    rm -rf "$dir/PRINT"
    start_pane "$program-stops" "$dir" "bash --norc --noprofile -i"
    type_line "PS1='$ '"
    type_line "$E2E_BIN_DIR/$program"
    wait_for_at 22 2 ">>" 15
    type_line "admin Add User ann"
    type_line "admin Refill Ink=300 Paper=10"
    wait_for_row 6 " Printer Status : Waiting... | INK : 300 | PAPER : 10" 30
    type_line "ann Print doc.txt"
    wait_for_at 8 2 "Current Printing Job {UID = 0, " 10
    for round in 1 2 3; do
        send_keys C-z
        wait_for "Stopped" 15
        screen_has "Printer Status" && fail "$program left its screen up at stop $round"
        send_keys C-l
        type_line "stty -a | grep -o -- '-\?ixon' | sed 's/^/flow=/'"
        wait_for "flow=ixon" 15
        type_line "fg"
        wait_for "Printer Status : " 15
        wait_for_at 22 2 ">>" 15
    done
    wait_for_row 6 " Printer Status : Waiting... | INK : 9 | PAPER : 4" 15
    cmp "$dir/doc.txt" "$dir"/PRINT/2* || fail "$program's job stopped three times did not print whole"
}
suspends quillbay-thread
suspends quillbay
echo PASS
