#!/usr/bin/env bash
# Resource limits. A descriptor limit too low for five waiting jobs and the
# current one is raised when the hard limit allows: then five jobs submitted
# at once are all admitted and print. Where it cannot be raised the program
# refuses to start, naming the limit, with the terminal untouched. Under
# tight memory limits quillbay-thread starts, and quillbay measures a 4 MB
# file, without dying.
source "$(dirname "$0")/lib.sh"

dir=$E2E_DIR/limits
mkdir "$dir"
cat >"$dir/run.sh" <<'SCRIPT'
modes() { stty -a | tr ' ' '\n' | grep -E '^-?(echo|icanon|ixon)$' | tr '\n' ' '; }
before=$(modes)
"$@"
echo "status=$? modes-kept=$([ "$(modes)" = "$before" ] && echo yes || echo no)"
exec sleep 600  # the pane stays up to be read
SCRIPT

start_pane hard "$dir" "exec sh run.sh sh -c 'ulimit -n 8; exec $QUILLBAY'"
wait_for "status=1 modes-kept=yes" 10
wait_for "quillbay: the descriptor limit (ulimit -n) is 8; the program needs " 1

for i in 1 2 3 4 5; do echo "job $i" >"$dir/doc$i.txt"; done
start_quillbay soft "$dir" "ulimit -H -n 64; ulimit -S -n 8"
type_line "admin Add User ann"
type_line "admin Refill Ink=100 Paper=10"
wait_for_row 6 " Printer Status : Waiting... | INK : 100 | PAPER : 10" 10
for i in 1 2 3 4 5; do type_line "ann Print doc$i.txt"; done
wait_for_row 6 " Printer Status : Waiting... | INK : 80 | PAPER : 5" 20
cat "$dir"/doc[1-5].txt | cmp - <(cat "$dir"/PRINT/*) || fail "the five jobs did not print whole"

start_pane thread "$dir" "ulimit -v 12000; exec $E2E_BIN_DIR/quillbay-thread"
wait_for_at 22 2 ">>" 15
wait_for_at 6 2 "Printer Status : Waiting..." 5

yes aaaaaaaaaaaaaaaaaaa | head -n 200000 >"$dir/big.txt"  # 4,000,000 bytes
start_quillbay memory "$dir" "ulimit -v 7600"
type_line "admin Add User ann"
type_line "ann Print big.txt"
wait_for_at 21 2 "ERROR:'Request Job need more supplies. needInk = 3800000, needPaper=20001" 10
echo PASS
