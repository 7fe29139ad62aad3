#!/usr/bin/env bash
# A scripted session piped into quillbay-line: the user listing is all it
# prints, exactly, and it reaches a file although the program never ends by
# itself and is killed from outside. A line longer than 2047 characters is
# cut to its first 2047: nothing of the rest runs as a command. The same
# holds when standard input was left non-blocking and lines come in pieces.
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
kill "$pid"

# Standard input a pipe with O_NONBLOCK set on the program's end, as a
# parent may leave it: a line whose second piece comes late is still one
# line, and the tail of an over-long line, coming late, is still dropped.
# Each piece is sent once the one before has left the pipe, then a little
# later, when a program that took a piece for a line would have run it.
command -v python3 > /dev/null || skip "python3 is needed to set O_NONBLOCK on a pipe"
python3 - "$QUILLBAY_LINE" > out 2> err <<'PYTHON' || fail "non-blocking input: $(cat err)"
import fcntl, os, struct, subprocess, sys, termios, time

read_end, write_end = os.pipe()
fcntl.fcntl(read_end, fcntl.F_SETFL, fcntl.fcntl(read_end, fcntl.F_GETFL) | os.O_NONBLOCK)
program = subprocess.Popen([sys.argv[1]], stdin=read_end)
os.close(read_end)

def unread():
    return struct.unpack("i", fcntl.ioctl(write_end, termios.FIONREAD, b"\0" * 4))[0]

def wait_for(fact, what):
    deadline = time.monotonic() + 10
    while not fact():
        if time.monotonic() > deadline or program.poll() is not None:
            sys.exit(what)
        time.sleep(0.01)

def send(piece):
    os.write(write_end, piece)
    wait_for(lambda: unread() == 0, "the program stopped reading its input")
    time.sleep(0.3)

try:
    send(b"Add User ann\nAdd User annabel\n")
    send(b"Del User ann")
    send(b"abel\n")
    send(b"Add User " + b"x" * 2978)  # 2987 bytes: the line goes on past 2047
    send(b"Add User tail\n")
    send(b"Show User List \n")
    # The listing is flushed whole, in one write.
    wait_for(lambda: os.fstat(sys.stdout.fileno()).st_size > 0, "no listing came")
finally:
    program.kill()
PYTHON
[ "$(cat out)" = "user Name : ann " ] || fail "non-blocking input listed: $(cat out)"
echo PASS
