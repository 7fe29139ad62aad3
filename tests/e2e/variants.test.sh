# The three other terminal programs: each starts and echoes the last
# command on row 3 of its command window; quillbay-thread redraws at once;
# quillbay-greet greets once on the screen it opened; PRINT gets each
# program's mode.
source "$(dirname "$0")/lib.sh"

command -v script >/dev/null || skip "script (util-linux) is not installed"

# start_variant PROGRAM: runs PROGRAM under script(1), which records every
# byte it writes to the terminal, in a fresh directory with umask 0.
start_variant()
{
    local program=$1 dir=$E2E_DIR/$1
    mkdir -p "$dir"
    start_pane "$program" "$dir" "umask 0; exec script -qfc '$E2E_BIN_DIR/$program' '$dir/terminal.log'"
    wait_for_at 22 2 ">>" 15
}

# The first redraw comes with the first step; the worker thread takes it at
# once, where the alarm comes a second later. Only a look begun after half
# a second counts against it, so a slow look on a busy machine does not.
start_variant quillbay-thread
deadline=$(($(now_microseconds) + 500000))
while :; do
    looked_at=$(now_microseconds)
    text_at 6 2 "Printer Status : Waiting..." && break
    [ "$looked_at" -lt "$deadline" ] || fail "quillbay-thread did not redraw at once"
    pause 0.05
done

for program in quillbay-thread quillbay-greet quillbay-echo; do
    [ "$program" = quillbay-thread ] || start_variant "$program"
    E2E_SESSION=$program
    type_line "Add User ann"
    wait_for_at 23 2 "command! : Add User ann"
    type_line "Show User List"
    wait_for_at 15 2 "user Name : ann"
    wait_for_at 23 2 "command! : Show User List"
    [ "$(screen_row 21)" = "$(framed "")" ] || fail "$program showed an error: $(screen_row 21)"
done

expect_mode()
{
    local mode
    mode=$(stat -c %a "$E2E_DIR/$1/PRINT") || fail "$1 made no PRINT"
    [ "$mode" = "$2" ] || fail "$1 made PRINT with mode $mode, expected $2"
}
expect_mode quillbay-thread 777
expect_mode quillbay-greet 777
expect_mode quillbay-echo 755

greetings()
{
    grep -o 'helloworld!' "$E2E_DIR/$1/terminal.log" | wc -l
}
[ "$(greetings quillbay-greet)" = 1 ] || fail "quillbay-greet greeted $(greetings quillbay-greet) times"
[ "$(greetings quillbay-echo)" = 0 ] || fail "quillbay-echo greeted"
[ "$(greetings quillbay-thread)" = 0 ] || fail "quillbay-thread greeted"

# The greeting goes on the screen the program opened, between switching to
# the alternate screen and back, never on the shell's.
E2E_SESSION=quillbay-greet
type_line quit
wait_until 10 bash -c '! pgrep -f "^$E2E_BIN_DIR/quillbay-greet" >/dev/null' || fail "quillbay-greet did not quit"
offset_of()
{
    grep -obUaF -- "$1" "$E2E_DIR/quillbay-greet/terminal.log" | sed -n "$2p" | cut -d: -f1
}
opened=$(offset_of $'\e[?1049h' 1) greeted=$(offset_of 'helloworld!' 1) closed=$(offset_of $'\e[?1049l' '$')
[ -n "$opened" ] && [ -n "$greeted" ] && [ -n "$closed" ] && [ "$opened" -lt "$greeted" ] && [ "$greeted" -lt "$closed" ] ||
    fail "the greeting is not on the program's screen: alternate screen at ${opened:-none}, greeting at ${greeted:-none}, normal screen at ${closed:-none}"
echo "PASS"
