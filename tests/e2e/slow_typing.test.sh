#!/usr/bin/env bash
# A line typed one key at a time across several engine steps arrives whole:
# each redraw of the status window leaves the typed text and the cursor at
# its end alone; the erase and kill keys edit it, unused keys leave it be. Then a line with wide
# characters: the cursor counts cells.
source "$(dirname "$0")/lib.sh"

# The typed text shows after the prompt and the cursor stands right after it.
expect_typed()
{
    wait_for_row 22 " >>$1" 5
    wait_for_cursor $((4 + $(display_width "$1"))) 22
}

dir=$E2E_DIR/typing
mkdir "$dir"
start_quillbay typing "$dir"
wait_for_at 5 2 "system time :"

# An engine step redraws after every sixth key.
line="admin Add User annx"
clocks=()
for ((i = 1; i <= ${#line}; i++)); do
    send_text "${line:i-1:1}"
    expect_typed "${line:0:i}"
    clocks+=("$(screen_row 5)")
    ((i % 6 != 0)) || wait_for_ticks 1
done
steps=$(printf '%s\n' "${clocks[@]}" | sort -u | wc -l)
((steps >= 3)) || fail "typing spanned only $steps engine steps"

# Function keys the prompt does not use arrive as escape sequences: none may
# reach the line.
send_keys F5 F12 PageUp IC
send_text "x"
expect_typed "admin Add User annxx"
send_keys BSpace BSpace
expect_typed "admin Add User ann"
send_text " lee"
expect_typed "admin Add User ann lee"
send_keys C-u
expect_typed ""
send_text "admin Add User ann"
wait_for_ticks 2
expect_typed "admin Add User ann"

send_keys Enter
wait_for_row 22 " >>"
wait_for_cursor 4 22
type_line "admin Show User List"
wait_for_row 15 " user Name : ann"

# Two Hangul syllables: six bytes, four cells.
send_text "admin Add User 한글"
expect_typed "admin Add User 한글"
wait_for_ticks 1
expect_typed "admin Add User 한글"
send_keys Enter
type_line "admin Show User List"
wait_for_row 16 " user Name : 한글"
echo PASS
