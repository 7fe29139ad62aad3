#!/usr/bin/env bash
# Signals: every terminal program ends on SIGHUP, SIGINT, SIGQUIT and
# SIGTERM with the terminal as it found it (echo, canonical input and flow
# control back) and by that same signal. (signal_stops checks Ctrl-Z.)
source "$(dirname "$0")/lib.sh"

dir=$E2E_DIR/signals
mkdir "$dir"
# Runs a program, then shows how it ended and the terminal's modes.
cat >"$dir/run.sh" <<'SCRIPT'
modes() { stty -a | tr ' ' '\n' | grep -E '^-?(echo|icanon|ixon)$' | tr '\n' ' '; }
ulimit -c 0
before=$(modes)
"$@"
status=$?
echo "status=$status modes-kept=$([ "$(modes)" = "$before" ] && echo yes || echo no)"
exec sleep 600  # the pane stays up to be read
SCRIPT

# ends_by PROGRAM SIGNAL NUMBER
ends_by()
{
    local program=$1 signal=$2 number=$3
    start_pane "$program-$signal" "$dir" "exec sh run.sh $E2E_BIN_DIR/$program"
    wait_for_at 22 2 ">>" 15
    kill "-$signal" "$(pgrep -P "$(pane_value '#{pane_pid}')")"
    wait_for "status=$((128 + number)) modes-kept=yes" 5
    screen_has "Printer Status" && fail "$program left its screen up after SIG$signal"
}
ends_by quillbay HUP 1
ends_by quillbay INT 2
ends_by quillbay-thread QUIT 3
ends_by quillbay-thread TERM 15
ends_by quillbay-greet HUP 1
ends_by quillbay-echo TERM 15

echo PASS
