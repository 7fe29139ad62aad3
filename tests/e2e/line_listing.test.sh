#!/usr/bin/env bash
# A scripted session piped into quillbay-line: the user listing is all it
# prints, exactly, and it reaches a file although the program never ends by
# itself and is killed from outside. A line longer than 2047 characters is
# cut to its first 2047: nothing of the rest runs as a command.
source "$(dirname "$0")/line_lib.sh"

printf 'hello\n' > notes.txt
long_name=$(printf 'x%.0s' $(seq 2038))  # "Add User " and this make 2047
{
    echo 'admin Add User ann'
    echo 'Add User bob'
    echo 'Add User ann'
    echo 'Add User abcdefghijklmnopqrstu'
    echo 'admin Show User List '
    echo 'PRINTER Print notes.txt'
    echo 'admin Refill Ink = 100 Paper = 10'
    echo 'ann Cancel All'
    echo 'Del User ann'
    printf 'Add User %sAdd User dan\n' "$long_name"
    echo 'Show User List'
    echo 'hello'
    printf 'Show User List '  # the last line, without a line feed
} > commands
printf 'user Name : ann \nuser Name : bob \nuser Name : bob \n' > expected

"$QUILLBAY_LINE" < commands > out 2> err &
pid=$!

has_three_lines() { [ "$(wc -l < out)" -ge 3 ]; }
wait_until 10 has_three_lines || fail "the listing did not arrive: $(cat out)"
sleep 0.5  # room for anything that should not be there
kill -0 "$pid" 2>/dev/null || fail "the program ended by itself"
cmp -s expected out || fail "listing differs: $(diff expected out)"
[ ! -s err ] || fail "it wrote to standard error: $(cat err)"
echo PASS
