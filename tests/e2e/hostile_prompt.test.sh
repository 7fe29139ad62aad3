#!/usr/bin/env bash
# Hostile typing at the prompt: a 100 kB paste, control characters,
# function keys, and the echo of the longest line. The line stays within its 2047 bytes, no key leaks escape
# bytes into it, the program keeps running and the next command works.
source "$(dirname "$0")/lib.sh"

dir=$E2E_DIR/prompt
mkdir "$dir"
start_quillbay prompt "$dir"

# Control characters, Alt keys and function keys between the letters change
# nothing (the cursor keys come back to the end); ^W erases the word before it.
# First, while no line entered before could be suggested after the cursor.
send_text "adm"
send_keys C-a C-b C-e C-f C-k C-l C-t C-v M-x
send_text "in Add Usr"
send_keys C-w
send_text "User ann"
send_keys F5 F12 Up Down Left Right Home End PageUp PageDown IC DC BTab
wait_for_row 22 " >>admin Add User ann" 5
send_keys Enter
type_line "admin Show User List"
wait_for_row 15 " user Name : ann" 5

# 100 kB pasted at once: the line keeps its first 2047 bytes and shows its
# end; Enter hands them over ("Incorrect UserName": far over 20 bytes).
printf 'admin Add User %s' "$(head -c 102400 /dev/zero | tr '\0' p)" >"$E2E_DIR/paste"
qb_tmux load-buffer "$E2E_DIR/paste"
qb_tmux paste-buffer -t "$E2E_SESSION"
wait_until 30 text_at 22 4 "<$(printf 'p%.0s' {1..73})" || fail "the paste never showed"
send_keys Enter
wait_for_row 21 " ERROR:Incorrect UserName" 10
is_running || fail "the program ended"

# The echoing program shows the whole of a line of the longest length:
# its echo once came out as "command! : (null)".
dir=$E2E_DIR/prompt-echo
mkdir "$dir"
start_pane prompt-echo "$dir" "exec '$E2E_BIN_DIR/quillbay-echo'"
wait_for_at 22 2 ">>" 15
head -c 2047 /dev/zero | tr '\0' q >"$E2E_DIR/longest"
qb_tmux load-buffer "$E2E_DIR/longest"
qb_tmux paste-buffer -t "$E2E_SESSION"
wait_until 30 text_at 22 4 "<$(printf 'q%.0s' {1..73})" || fail "the longest line never showed"
send_keys Enter
# The next prompt's frame is drawn over the echo's last cell.
wait_for_row 23 " command! : $(printf 'q%.0s' {1..66})" 10
is_running || fail "quillbay-echo ended"
echo PASS
