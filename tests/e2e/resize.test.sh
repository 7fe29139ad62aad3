#!/usr/bin/env bash
# Shrinking the terminal below 80x25 while the program runs, with a line half
# typed, does not end it; back at 80x25 or larger, both windows are whole
# again at once in their places, the half-typed line is still there, and
# commands go on working.
source "$(dirname "$0")/lib.sh"

TOP="┌$(printf '─%.0s' {1..78})┐"
BOTTOM="└$(printf '─%.0s' {1..78})┘"

# Both windows' frames, the status rows, the prompt with TYPED after it and
# the hint that explains it.
HINT=" nothing happens; did you mean admin Show User List?"
windows_whole()
{
    local typed=$1
    [ "$(screen_row 0)" = "$TOP" ] && [ "$(screen_row 19)" = "$BOTTOM" ] &&
        [ "$(screen_row 20)" = "$TOP" ] && [ "$(screen_row 24)" = "$BOTTOM" ] &&
        text_at 5 2 "system time : year:" && text_at 6 2 "Printer Status : Waiting..." &&
        text_at 10 2 "JOB WAIT LIST : " && row_is 21 "" && row_is 22 " >>$typed" && row_is 23 "$HINT"
}

pane_size_is()
{
    [ "$(pane_value '#{pane_width}x#{pane_height}')" = "$1" ]
}

resize_to()
{
    qb_tmux resize-window -t "$E2E_SESSION" -x "$1" -y "$2"
    wait_until 5 pane_size_is "$1x$2" || fail "the pane did not become $1x$2"
}

dir=$E2E_DIR/resize
mkdir "$dir"
start_quillbay resize "$dir"
type_line "admin Add User ann"
wait_for_row 21 ""
send_text "admin Show User"
wait_for_row 22 " >>admin Show User"

resize_to 40 10
sleep 2  # engine steps run while the terminal is too small
is_running || fail "the program ended when the terminal shrank"

for size in "80 25" "100 30"; do
    read -r columns rows <<<"$size"
    resize_to "$columns" "$rows"
    wait_until 3 windows_whole "admin Show User" || fail "the windows were not whole again at ${columns}x$rows"
    wait_for_cursor 19 22
    wait_for_ticks 1
    windows_whole "admin Show User" || fail "the windows broke at the next step at ${columns}x$rows"
done

type_line " List"
wait_for_row 15 " user Name : ann"
echo PASS
