#!/usr/bin/env bash
# The prompt as a new user meets it: Tab completes a file name, F1 shows the
# help over the status window while a job goes on printing unseen, Up
# recalls the last line. Keys as terminals send them: a 3 MB paste keeps the
# printer's cadence, Tab Tab in one burst lists, a marked paste is text,
# unknown sequences vanish whole, word keys and Ctrl-R work. The row under
# the line explains it, and the line entered is suggested again. quit with the
# job printing only asks; quitting again leaves with status 0 and the
# shell's terminal back. quillbay-thread's help shows its own grammar, and
# exit leaves it.
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
mkdir -p "$dir/docs" "$dir/pair"
yes x | head -n 900 >"$dir/docs/long report.txt"  # 90 sheets, 900 ink: still printing at the quit
touch "$dir/pair/a1.txt" "$dir/pair/a2.txt"
start_shell prompt "$dir"
run_from_shell "'$QUILLBAY'"
wait_for_at 22 2 ">>" 15
type_line "admin Add User ann"
type_line "admin Refill Ink=900 Paper=100"
wait_for_row 6 " Printer Status : Waiting... | INK : 900 | PAPER : 100" 30

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
expect_at 17 2 "Under the line, what Enter will do:"
expect_at 18 2 "Leave with quit or exit, or ^D on an empty line; ^C ends the program at once."
before=$(printed_lines)
wait_until 10 printed_at_least $((before + 20)) || fail "the engine stopped under the help"
text_at 1 2 "quillbay: help." || fail "an engine step drew over the help"
send_keys Escape
wait_for_at 5 2 "system time : "
expect_at 10 2 "JOB WAIT LIST : "
rows_blank 1 4 || fail "the help left text on the status window"

# A 3 MB line pasted while the job prints: the printer keeps its cadence,
# and the line keeps its first 2047 bytes.
head -c 3000000 /dev/zero | tr '\0' z >"$E2E_DIR/paste"
qb_tmux load-buffer "$E2E_DIR/paste"
before=$(printed_lines)
qb_tmux paste-buffer -t "$E2E_SESSION"
wait_until 12 printed_at_least $((before + 100)) || fail "fewer than 10 sheets in the 12 s after a 3 MB paste"
send_keys C-u  # comes after the whole paste
send_text "after"
wait_for_row 22 " >>after" 30
send_keys C-u

# Tab Tab in one burst completes what both share and lists both.
send_text "ann Print pair/"
send_keys Tab Tab
wait_for_at 18 2 "a1.txt  a2.txt"
expect_row 22 " >>ann Print pair/a"
send_keys C-u

# A marked paste is text: its tab goes into the line, no completion, and
# runs to the next tab stop, as the line read draws it.
printf '\t' >"$E2E_DIR/tab"
qb_tmux load-buffer "$E2E_DIR/tab"
send_text "x"
qb_tmux paste-buffer -p -t "$E2E_SESSION"
send_text "y"
wait_for_row 22 " >>x   y"
send_keys C-u

# PuTTY's Home and End, and sequences nobody knows, leave nothing behind.
send_text "bc"
send_text $'\e[1~'
send_text "a"
send_text $'\e[4~\e[99;7X\e[?5z'
send_text "d"
wait_for_row 22 " >>abcd"
send_keys C-u

# Word moves and kills, and the yank of the last kill.
send_text "one two"
send_keys C-Left
send_text "x"
wait_for_row 22 " >>one xtwo"
send_keys End M-BSpace
wait_for_row 22 " >>one "
send_keys C-y
wait_for_row 22 " >>one xtwo"
send_keys C-u

# The row under the line says what Enter will do, and Enter erases it; the
# line entered is then suggested after the cursor, and Right takes it.
send_text "ann Print nosuch.txt"
wait_for_row 23 " refused: no file nosuch.txt"
send_keys Enter
wait_for_row 21 " ERROR:request file fopen failed."
expect_row 23 ""
send_text "ann Print nos"
wait_for_row 23 " refused: no file nos"
expect_row 22 " >>ann Print nosuch.txt"  # the rest dimmed, the cursor after nos
wait_for_cursor 17 22
send_keys Right
wait_for_cursor 24 22
wait_for_row 23 " refused: no file nosuch.txt"
send_keys C-u

# Ctrl-R finds a line by what it holds; Esc goes back, Enter runs the match.
send_keys C-r
send_text "Refill"
wait_for_row 22 " (reverse-i-search)\`Refill': admin Refill Ink=900 Paper=100"
send_keys Escape
wait_for_row 22 " >>"
send_keys C-r
send_text "Add"
send_keys Enter
wait_for_row 21 " ERROR:ann is Already registed."

# Up recalls the last line. quit with the job printing only says so; ^D
# asks again and leaves with status 0, the terminal as it was.
send_keys Up
wait_for_row 22 " >>admin Add User ann"
send_keys C-u
type_line "quit"
wait_for_row 21 " ERROR:1 job not finished; quit again to leave it"
expect_row 22 " >>"
send_keys C-d
wait_for_shell_back 10 || fail "the program did not end"
[ "$(cat "$dir/status")" = 0 ] || fail "quit ended with status $(cat "$dir/status")"
cmp -s "$dir/before" "$dir/after" || fail "the terminal modes were not restored"
[ "$(pane_value '#{alternate_on}')" = 0 ] || fail "the pane is left in the alternate screen"
lines=$(printed_lines)
[ "$lines" -lt 900 ] && [ $((lines % 10)) = 0 ] || fail "not left in the middle of the job, or of a sheet: $lines lines"

# The earliest grammar's help: Refill without admin. exit leaves it. A
# blank before the word makes it a command: an empty user name there.
dir=$E2E_DIR/thread
mkdir "$dir"
start_pane thread "$dir" "'$E2E_BIN_DIR/quillbay-thread'; echo \$? >status; exec sleep 600"
wait_for_at 22 2 ">>" 15
type_line " help"
wait_for_row 21 " ERROR:'' is not registed user."
send_text "Add User bob"  # its row 3 keeps the echo: no hint there
wait_for_row 22 " >>Add User bob"
expect_row 23 " command! :  help"
send_keys C-u
type_line "help"
wait_for_at 4 2 "Refill Ink=N Paper=N        Refill Ink=3000 Paper=100"
wait_for_at 11 2 "The word admin may stand before the first 4 commands, or be left out."
send_keys Enter
wait_for_at 6 2 "Printer Status : Waiting..."
type_line "exit"
wait_until 10 test -s "$dir/status" || fail "exit did not end quillbay-thread"
[ "$(cat "$dir/status")" = 0 ] || fail "exit ended with status $(cat "$dir/status")"
echo PASS
