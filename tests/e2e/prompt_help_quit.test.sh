#!/usr/bin/env bash
# The prompt as a new user meets it: Tab completes a file name, F1 shows the
# help over the status window while a job goes on printing unseen, Up
# recalls the last line, and quit leaves with status 0 and the shell's
# terminal back. quillbay-thread's help shows its own grammar, and exit
# leaves it too.
source "$(dirname "$0")/lib.sh"

# The number of lines printed so far into the job's output file.
printed_lines()
{
    cat "$dir"/PRINT/*.txt 2>/dev/null | wc -l
}

printed_at_least()
{
    [ "$(printed_lines)" -ge "$1" ]
}

dir=$E2E_DIR/prompt
mkdir -p "$dir/docs"
# 85 short lines, 9 sheets: enough left to print under the help however
# long the help takes to show.
for ((i = 1; i <= 85; i++)); do echo "l$i"; done >"$dir/docs/long report.txt"
start_shell prompt "$dir"
run_from_shell "'$QUILLBAY'"
wait_for_at 22 2 ">>" 15
type_line "admin Add User ann"
type_line "admin Refill Ink=400 Paper=10"
wait_for_row 6 " Printer Status : Waiting... | INK : 400 | PAPER : 10" 30

# A file name with a blank, completed through its directory.
send_text "ann Print d"
send_keys Tab
wait_for_row 22 " >>ann Print docs/"
send_keys Tab
wait_for_row 22 " >>ann Print docs/long report.txt"
wait_for_cursor 34 22
send_keys Enter
wait_for_at 8 2 "Current Printing Job {UID = 0, " 10

# The help covers the status window and stays while the engine prints on.
send_keys F1
wait_for_at 1 2 "quillbay: help. Esc, q, F1 or Enter closes it."
expect_at 4 2 "admin Refill Ink=N Paper=N  admin Refill Ink=3000 Paper=100"
expect_at 17 2 "Leave with quit or exit, or ^D on an empty line."
before=$(printed_lines)
wait_until 10 printed_at_least $((before + 20)) || fail "the engine stopped under the help"
text_at 1 2 "quillbay: help." || fail "an engine step drew over the help"
send_keys Escape
wait_for_at 5 2 "system time : "
expect_at 10 2 "JOB WAIT LIST : "
rows_blank 1 4 || fail "the help left text on the status window"

# Up recalls the last line; quit leaves with status 0, the terminal as it was.
send_keys Up
wait_for_row 22 " >>ann Print docs/long report.txt"
send_keys C-u
type_line "quit"
wait_for_shell_back 10 || fail "the program did not end"
[ "$(cat "$dir/status")" = 0 ] || fail "quit ended with status $(cat "$dir/status")"
cmp -s "$dir/before" "$dir/after" || fail "the terminal modes were not restored"
[ "$(pane_value '#{alternate_on}')" = 0 ] || fail "the pane is left in the alternate screen"
lines=$(printed_lines)
[ "$lines" = 85 ] || [ $((lines % 10)) = 0 ] || fail "the output file ends in the middle of a sheet: $lines lines"

# The earliest grammar's help: Refill without admin. exit leaves it.
dir=$E2E_DIR/thread
mkdir "$dir"
start_pane thread "$dir" "'$E2E_BIN_DIR/quillbay-thread'; echo \$? >status; exec sleep 600"
wait_for_at 22 2 ">>" 15
type_line " help "
wait_for_at 4 2 "Refill Ink=N Paper=N        Refill Ink=3000 Paper=100"
wait_for_at 11 2 "The word admin may stand before the first 4 commands, or be left out."
send_keys Enter
wait_for_at 6 2 "Printer Status : Waiting..."
type_line "exit"
wait_until 10 test -s "$dir/status" || fail "exit did not end quillbay-thread"
[ "$(cat "$dir/status")" = 0 ] || fail "exit ended with status $(cat "$dir/status")"
echo PASS
