#!/usr/bin/env bash
# The engine worker of quillbay-line: within about a second of the first
# job being queued the printer state becomes PRINTER_NEED_SUPPLIES (2) and
# stays there; a user's Cancel All makes it PRINTER_REQUEST_CANCEL (4) for
# good. The program prints no state, so the script reads the running
# program's g_PrinterContext.state from its memory (/proc/<pid>/mem, where
# the system lets a user read their own processes), after checking the
# method on the stock that Refill sets.
source "$(dirname "$0")/line_lib.sh"

command -v nm > /dev/null && command -v readelf > /dev/null || skip "nm and readelf (binutils) are needed"
program=$(readlink -f "$QUILLBAY_LINE")
symbol_address() { nm -C "$program" | awk -v name="$1" '$3 == name { print $1 }'; }
state_symbol=$(symbol_address 'linemode::g_PrinterContext')
stock_symbol=$(symbol_address 'linemode::g_SuppliesData')
[ -n "$state_symbol" ] && [ -n "$stock_symbol" ] || skip "the program has no symbol table"

printf 'hello\n' > notes.txt
mkfifo commands
"$QUILLBAY_LINE" < commands > out 2> err &
pid=$!
exec 3> commands
send() { printf '%s\n' "$1" >&3; }

is_running_program() { [ "$(readlink "/proc/$pid/exe" 2>/dev/null)" = "$program" ]; }
wait_until 5 is_running_program || skip "cannot see the program in /proc"
base=0
if [ "$(readelf -h "$program" | awk '$1 == "Type:" { print $2 }')" = DYN ]; then
    base=$(awk -v path="$program" '$6 == path && $3 ~ /^0+$/ { split($1, range, "-"); print range[1]; exit }' \
        "/proc/$pid/maps")
    [ -n "$base" ] || skip "cannot find where the program is loaded"
fi
state_address=$(( 0x$base + 0x$state_symbol ))
stock_address=$(( 0x$base + 0x$stock_symbol ))

# read_int32 ADDRESS: one signed 32-bit integer of the program's memory.
read_int32()
{
    local value
    value=$( { dd bs=4 count=1 iflag=skip_bytes skip="$1" 2> /dev/null | od -An -td4 | tr -d ' '; } \
        < "/proc/$pid/mem" 2> /dev/null) || return 1
    [ -n "$value" ] && echo "$value"
}
state() { read_int32 "$state_address"; }

# The method, checked: the stock is exactly what Refill made it.
send 'Refill Ink = 123 Paper = -45'
stock_is_set() { [ "$(read_int32 "$stock_address")/$(read_int32 $((stock_address + 4)))" = 123/-45 ]; }
read_int32 "$stock_address" > /dev/null || skip "cannot read the program's memory"
wait_until 5 stock_is_set || fail "the stock reads $(read_int32 "$stock_address"), not 123"

# expect_state_for SECONDS STATE: the state is STATE at every look.
expect_state_for()
{
    local deadline=$(( $(now_ms) + $1 * 1000 ))
    while [ "$(now_ms)" -lt "$deadline" ]; do
        [ "$(state)" = "$2" ] || fail "state $(state), expected $2 throughout"
        sleep 0.1
    done
}
state_is() { [ "$(state)" = "$1" ]; }

# No job: the engine steps and nothing changes.
expect_state_for 2 0

# The first job: NEED_SUPPLIES at the next engine step, within about a
# second, then for good. The state is read once that time has passed, so
# a look that comes late on a busy machine still reads what it must.
send 'PRINTER Print notes.txt'
sleep 1.5
[ "$(state)" = 2 ] || fail "state $(state) 1.5 s after the first job"
expect_state_for 3 2

# Cancel All from a registered user: REQUEST_CANCEL, which no step leaves.
send 'Add User ann'
send 'ann Cancel All'
wait_until 2 state_is 4 || fail "state $(state) after ann's Cancel All"
send 'PRINTER Print notes.txt'
expect_state_for 3 4

[ ! -s out ] || fail "it printed: $(cat out)"
[ ! -s err ] || fail "it wrote to standard error: $(cat err)"
echo PASS
