#!/usr/bin/env bash
# A terminal that takes no output (Scroll Lock, a stalled link, tcflow
# TCOOFF) stops only the screen: the job prints on at its cadence, the
# screen is whole again once output resumes, and SIGTERM ends the program
# while output is still stopped, the terminal's modes restored.
source "$(dirname "$0")/lib.sh"
command -v python3 >/dev/null || skip "python3 is not installed"

dir=$E2E_DIR/stopped
mkdir "$dir"
for ((i = 1; i <= 600; i++)); do echo "x"; done >"$dir/doc.txt"  # 601 reads: 61 sheets, 600 ink
cat >"$dir/run.sh" <<'SCRIPT'
modes() { stty -a | tr ' ' '\n' | grep -E '^-?(echo|icanon|ixon)$' | tr '\n' ' '; }
before=$(modes)
"$@"
status=$?
echo "status=$status modes-kept=$([ "$(modes)" = "$before" ] && echo yes || echo no)"
exec sleep 600  # the pane stays up to be read
SCRIPT

# flow on|off: lets the pane's terminal take output, or not.
flow()
{
    python3 -c 'import os, sys, termios
fd = os.open(sys.argv[1], os.O_RDWR | os.O_NOCTTY)
termios.tcflow(fd, termios.TCOON if sys.argv[2] == "on" else termios.TCOOFF)' "$(pane_value '#{pane_tty}')" "$1" ||
        fail "tcflow $1 failed"
}

# Sheets printed so far: ten print lines a sheet, in the job's file.
sheets()
{
    cat "$dir"/PRINT/* 2>/dev/null | wc -l | awk '{ print int($1 / 10) }'
}

has_printed()
{
    [ "$(sheets)" -ge "$1" ]
}

start_pane stopped "$dir" "exec sh run.sh $QUILLBAY"
wait_for_at 22 2 ">>" 15
pid=$(pgrep -P "$(pane_value '#{pane_pid}')")
type_line "admin Add User ann"
type_line "admin Refill Ink=700 Paper=70"
wait_for_row 6 " Printer Status : Waiting... | INK : 700 | PAPER : 70" 30
type_line "ann Print doc.txt"
wait_for_at 8 2 "Current Printing Job {UID = 0, " 10

# Round 1: output stopped, the job goes on; once resumed the screen shows
# where it is.
flow off
from=$(sheets)
wait_until 40 has_printed $((from + 5)) || fail "printing stalled with output stopped: $(sheets) sheets, from $from"
type_line "admin Refill Ink=50 Paper=5"
flow on
printed=$(sheets)
shown_from()
{
    local row
    row=$(screen_row 8)
    [[ $row =~ \{UID\ =\ 0,\ ([0-9]+)/61\} ]] && [ "${BASH_REMATCH[1]}" -ge "$1" ]
}
wait_until 10 shown_from "$printed" || fail "the screen did not come back up to date after output resumed"
wait_for_at 7 30 "Admin Supplies { ink = 50 paper = 5 }" 5

# Round 2: SIGTERM with output still stopped ends the program, and the
# terminal's modes are back once it takes output again.
flow off
from=$(sheets)
wait_until 40 has_printed $((from + 2)) || fail "printing stalled with output stopped again"
kill -TERM "$pid"
gone()
{
    ! kill -0 "$pid" 2>/dev/null
}
deadline=$(($(now_microseconds) + 10 * 1000000))
until gone; do
    [ "$(now_microseconds)" -lt "$deadline" ] || fail "SIGTERM did not end the program while output was stopped"
    sleep 0.1
done
flow on
wait_for "status=143 modes-kept=yes" 10
echo PASS
