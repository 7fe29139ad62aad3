#!/usr/bin/env bash
# At the end of its input quillbay-line goes on running, but its command
# loop waits instead of passing every 100 ms: the main thread is not woken
# at all while it idles. Read from the thread's switch count in /proc.
source "$(dirname "$0")/line_lib.sh"

printf 'Add User ann\nShow User List \n' > commands
"$QUILLBAY_LINE" < commands > out 2> err &
pid=$!
status_file=/proc/$pid/task/$pid/status
[ -r "$status_file" ] || skip "no /proc task status on this system"

switches() { awk '/^voluntary_ctxt_switches/ { print $2 }' "$status_file"; }
has_listing() { [ -s out ]; }
wait_until 10 has_listing || fail "the listing did not arrive"
sleep 0.5  # the last pause ends and the read meets the end of the input
before=$(switches)
sleep 2
after=$(switches)
kill -0 "$pid" 2>/dev/null || fail "the program ended at the end of its input"
[ "$(ls /proc/$pid/task | wc -l)" -eq 2 ] || fail "expected the main thread and the engine worker"
# A loop that went on passing would have been woken about 20 times.
[ $((after - before)) -le 2 ] || fail "the idle main thread was woken $((after - before)) times in 2 s"
echo PASS
