#!/usr/bin/env bash
# At the end of its input quillbay-line goes on running, but its command
# loop waits instead of passing every 100 ms: the main thread is not woken
# at all while it idles. A read error that never clears (standard input a
# directory) is such an end too, not a cause to retry. Read from the
# thread's switch count in /proc.
source "$(dirname "$0")/line_lib.sh"

printf 'Add User ann\nShow User List \n' > commands
[ -r /proc/self/task/$$/status ] || skip "no /proc task status on this system"

# idles_after INPUT: starts the program reading INPUT and checks that its
# main thread sleeps for good once INPUT is used up.
idles_after()
{
    local input=$1 pid status_file before after
    "$QUILLBAY_LINE" < "$input" > out 2> err &
    pid=$!
    status_file=/proc/$pid/task/$pid/status
    switches() { awk '/^voluntary_ctxt_switches/ { print $2 }' "$status_file"; }
    # The commands and their pauses pass, then the read meets the end: the
    # thread is not woken for half a second. A thread that never idles is
    # caught below, with the count.
    asleep() { local first; first=$(switches); sleep 0.5; [ "$(switches)" = "$first" ]; }
    wait_until 10 asleep || fail "$input: the main thread was never asleep for half a second"
    before=$(switches)
    sleep 2
    after=$(switches)
    kill -0 "$pid" 2>/dev/null || fail "$input: the program ended at the end of its input"
    [ "$(ls /proc/$pid/task | wc -l)" -eq 2 ] || fail "$input: expected the main thread and the engine worker"
    # A loop that went on passing would have been woken about 20 times.
    [ $((after - before)) -le 2 ] || fail "$input: the idle main thread was woken $((after - before)) times in 2 s"
    kill "$pid"
}

idles_after commands
[ "$(cat out)" = "user Name : ann " ] || fail "the listing did not arrive: $(cat out)"
idles_after /
[ ! -s out ] || fail "a directory as input printed: $(cat out)"
echo PASS
