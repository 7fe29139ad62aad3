#!/usr/bin/env bash
# Hostile command lines: user names of 20, 21 and 300 bytes, UTF-8 and tabs;
# refill amounts at and beyond the 32-bit limits, with signs, blanks and
# junk; lines that start with blanks or a tab. Each gets its clear error or
# its sound effect, and nothing else changes.
source "$(dirname "$0")/lib.sh"

dir=$E2E_DIR/commands
mkdir "$dir"
echo "hello" >"$dir/notes.txt"
# Five ink and five sheets: the job shows for five engine steps.
{ echo "hello"; printf '\n%.0s' {1..40}; } >"$dir/zoe.txt"
start_quillbay commands "$dir"

# One look at the screen: the printer's ink plus the stock's, and the
# printer's paper plus the stock's. A tick moves stock into the printer
# but never changes these sums while nothing prints.
totals()
{
    local lines
    mapfile -t lines < <(screen)
    [[ ${lines[6]} =~ INK\ :\ ([0-9]+)\ \|\ PAPER\ :\ ([0-9]+) ]] || return 1
    local ink=${BASH_REMATCH[1]} paper=${BASH_REMATCH[2]}
    [[ ${lines[7]} =~ ink\ =\ (-?[0-9]+)\ paper\ =\ (-?[0-9]+) ]] || return 1
    echo "$((ink + BASH_REMATCH[1])) $((paper + BASH_REMATCH[2]))"
}
totals_are() { [ "$(totals)" = "$1 $2" ]; }

# Types LINE and, once the program has handled it, expects the error row
# to be ERROR (nothing when empty).
expect_error()
{
    type_line "$1"
    wait_for_keys_taken
    expect_row 21 "${2:+ ERROR:$2}"
}

# Paper first: the printer is full after ten ticks, so the stock then stays
# put and its exact 32-bit limit can be reached and passed.
MAX=2147483647
expect_error "admin Refill Paper=$MAX" ""
wait_for "Admin Supplies { ink = 0 paper = $((MAX - 100)) }" 30
FULL=$((MAX + 100))  # the stock at its limit and a full printer
# line | error | ink total after | paper total after
REFILLS=(
    "admin Refill Paper=101|Invalid Input paper Value|0|$MAX"
    "admin Refill Paper=100||0|$FULL"
    "admin Refill Paper=1|Invalid Input paper Value|0|$FULL"
    "admin Refill Ink=2147483648|Invalid Input ink Value|0|$FULL"
    "admin Refill Ink=99999999999999999999|Invalid Input ink Value|0|$FULL"
    "admin Refill Ink=-1|Invalid Input ink Value|0|$FULL"
    "admin Refill Ink=-2147483648|Invalid Input ink Value|0|$FULL"
    "admin Refill Ink=+5||5|$FULL"
    "admin Refill Ink=    7||12|$FULL"
    "admin Refill Ink = 8 Paper = x||20|$FULL"
    "admin Refill Ink=12abc||32|$FULL"
    "admin Refill Ink=abc||32|$FULL"
    "admin Refill Ink=- 5||32|$FULL"
)
for row in "${REFILLS[@]}"; do
    IFS='|' read -r line error ink paper <<<"$row"
    expect_error "$line" "$error"
    wait_until 5 totals_are "$ink" "$paper" || fail "after \"$line\" the totals are $(totals), not $ink $paper"
done

NAME20=abcdefghijklmnopqrst
NAME300=$(printf 'n%.0s' {1..300})
TAB=$'\t'
# line | error
NAMES=(
    "admin Add User $NAME20|"
    "admin Add User ${NAME20}u|Incorrect UserName"
    "admin Add User $NAME300|Incorrect UserName"
    "admin Add User zoë|"
    "admin Add User 한국어사람|"
    "admin Add User 한국어사람들이|Incorrect UserName"
    "admin Add User tab${TAB}name|"
    "   admin Add User bob|"
    "admin Add User bob|bob is Already registed."
    "$NAME300 Print notes.txt|"
)
for row in "${NAMES[@]}"; do
    expect_error "${row%|*}" "${row##*|}"
done
# A tab is no blank: the line is a user's command with the word "<tab>admin",
# and the tab shows as blanks up to the next tab stop.
type_line "${TAB}admin Add User tom"
tab_error() { [[ $(screen_row 21) =~ ^│\ ERROR:\'\ +admin\'\ is\ not\ registed\ user\.\ +│$ ]]; }
wait_until 5 tab_error || fail "a line that starts with a tab was not refused as a user's command"

# The list shows for two engine steps only, so it is read in one look: no
# error; the first three names; the name with a tab in one row; and the
# fifth user, bob, has no row left: the window's frame stays whole.
user_list_shown()
{
    local lines
    mapfile -t lines < <(screen)
    [ "${lines[21]}" = "$(framed "")" ] &&
        [ "${lines[15]}" = "$(framed " user Name : $NAME20")" ] &&
        [ "${lines[16]}" = "$(framed " user Name : zoë")" ] &&
        [ "${lines[17]}" = "$(framed " user Name : 한국어사람")" ] &&
        [[ ${lines[18]} =~ ^"│ user Name : tab"\ +"name"\ +"│"$ ]] &&
        [ "${lines[19]}" = "└$(printf '─%.0s' {1..78})┘" ]
}
type_line "admin Show User List"
wait_until 5 user_list_shown || fail "the user list is not as registered"

# A UTF-8 name prints like any other.
expect_error "zoë Print zoe.txt" ""
wait_until 10 printing_at_least 1 5 0 || fail "zoë's job never started"
is_running || fail "the program ended"
echo PASS
