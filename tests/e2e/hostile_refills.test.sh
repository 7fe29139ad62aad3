#!/usr/bin/env bash
# Hostile refills: amounts at and beyond the 32-bit limits, with signs,
# blanks and junk. Each gets its clear error or its sound effect, and the
# supplies change by exactly what was accepted.
source "$(dirname "$0")/lib.sh"

dir=$E2E_DIR/refills
mkdir "$dir"
start_quillbay refills "$dir"

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

is_running || fail "the program ended"
echo PASS
