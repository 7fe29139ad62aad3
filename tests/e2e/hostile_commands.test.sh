#!/usr/bin/env bash
# Hostile command lines: user names of 20, 21 and 300 bytes, UTF-8 and tabs;
# lines that start with blanks or a tab. Each gets its clear error or its
# sound effect, and nothing else changes. (hostile_refills has the refill
# amounts.)
source "$(dirname "$0")/lib.sh"

dir=$E2E_DIR/commands
mkdir "$dir"
echo "hello" >"$dir/notes.txt"
# Five ink and five sheets: the job shows for five engine steps.
{ echo "hello"; printf '\n%.0s' {1..40}; } >"$dir/zoe.txt"
start_quillbay commands "$dir"

type_line "admin Refill Ink=100 Paper=10"
wait_for_row 6 " Printer Status : Waiting... | INK : 100 | PAPER : 10" 15

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
