#!/usr/bin/env bash
# The idle printer's status window after the first engine steps: every row
# in place to the column, the clock on local time, advancing each second.
source "$(dirname "$0")/lib.sh"

TIME_PATTERN='^│ system time : year:([0-9]{4}) month:([0-9]{2}) day:([0-9]{2}) hour:([0-9]{2})시 min:([0-9]{2}) sec:([0-9]{2}) +│$'

# Sets SHOWN to the time on row 5 in seconds since the epoch; fails unless
# the row is well formed, 80 columns wide (the Hangul syllable takes two)
# and shows the time of the last few seconds.
read_shown_time()
{
    local before row after
    before=$(date +%s)
    row=$(screen_row 5)
    after=$(date +%s)
    [[ $row =~ $TIME_PATTERN ]] || fail "row 5 is no time row"
    [ "$(display_width "$row")" -eq 80 ] || fail "row 5 is $(display_width "$row") columns wide"
    local m=("${BASH_REMATCH[@]}")
    SHOWN=$(date -d "${m[1]}-${m[2]}-${m[3]} ${m[4]}:${m[5]}:${m[6]}" +%s)
    ((before - 5 <= SHOWN && SHOWN <= after)) ||
        fail "the clock shows $(date -d "@$SHOWN" +%T), it was $(date -d "@$before" +%T) to $(date -d "@$after" +%T)"
}

dir=$E2E_DIR/idle
mkdir "$dir"
start_quillbay idle "$dir"
wait_for_at 5 2 "system time : year:"

read_shown_time
expect_at 5 49 "시"
expect_at 5 51 " min:"

top="┌$(printf '─%.0s' {1..78})┐"
bottom="└$(printf '─%.0s' {1..78})┘"
[ "$(screen_row 0)" = "$top" ] || fail "row 0 is not the top of the frame"
rows_blank 1 4 || fail "rows 1 to 4 are not blank"
expect_row 6 " Printer Status : Waiting... | INK : 0 | PAPER : 0"
expect_row 7 "                             Admin Supplies { ink = 0 paper = 0 }"
rows_blank 8 9 || fail "rows 8 and 9 are not blank"
expect_row 10 " JOB WAIT LIST : "
rows_blank 11 18 || fail "rows 11 to 18 are not blank"
[ "$(screen_row 19)" = "$bottom" ] || fail "row 19 is not the bottom of the frame"

# The clock keeps up with the time over the next steps.
for step in 1 2 3; do
    previous=$SHOWN
    wait_for_ticks 1
    read_shown_time
    ((SHOWN > previous)) || fail "step $step: the clock went from $(date -d "@$previous" +%T) to $(date -d "@$SHOWN" +%T)"
done
echo PASS
