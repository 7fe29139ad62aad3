#!/usr/bin/env bash
# The terminal shrunk to 40x10 and back while a job prints: the job goes on
# and prints whole. Then two programs in one directory whose jobs start
# within the same seconds: every output name of those seconds is taken
# already, and no existing file is replaced.
source "$(dirname "$0")/lib.sh"

dir=$E2E_DIR/terminal
mkdir "$dir"
for ((i = 1; i <= 25; i++)); do echo "line $i"; done >"$dir/doc.txt"

start_quillbay first "$dir"
type_line "admin Add User ann"
type_line "admin Refill Ink=400 Paper=10"
wait_for_row 6 " Printer Status : Waiting... | INK : 400 | PAPER : 10" 30
type_line "ann Print doc.txt"
wait_until 10 printing_at_least 0 3 0 || fail "the job never started"
qb_tmux resize-window -t first -x 40 -y 10
printed_a_sheet() { [ "$(cat "$dir"/PRINT/* | wc -l)" -ge 10 ]; }
wait_until 10 printed_a_sheet || fail "no sheet printed while the terminal was small"
qb_tmux resize-window -t first -x 80 -y 25
wait_for_row 6 " Printer Status : Waiting... | INK : 259 | PAPER : 7" 15
outputs=("$dir"/PRINT/*)
[ ${#outputs[@]} = 1 ] && cmp "$dir/doc.txt" "${outputs[0]}" || fail "the job resized mid-way did not print whole"
rm -f "$dir"/PRINT/*

# Every name the next minute could give is taken, as another program's
# output would be; both programs print one job.
now=$(date +%s)
for ((t = now; t < now + 60; t++)); do
    echo keep >"$dir/PRINT/$(date -d "@$t" +%Y%m%d%H%M%S).txt"
done
start_quillbay second "$dir"
type_line "admin Add User ann"
type_line "admin Refill Ink=400 Paper=10"
wait_for_row 6 " Printer Status : Waiting... | INK : 400 | PAPER : 10" 30
type_line "ann Print doc.txt"
E2E_SESSION=first
type_line "ann Print doc.txt"
for session in first second; do
    E2E_SESSION=$session
    wait_for_row 6 " Printer Status : Waiting... | INK : $([ $session = first ] && echo 118 || echo 259) | PAPER : $([ $session = first ] && echo 4 || echo 7)" 15
done
kept=$(grep -lx keep "$dir"/PRINT/* | wc -l)
[ "$kept" = 60 ] || fail "only $kept of the 60 files already there were kept"
mapfile -t printed < <(grep -Lx keep "$dir"/PRINT/*)
[ ${#printed[@]} = 2 ] || fail "the two jobs left ${#printed[@]} files"
for file in "${printed[@]}"; do
    [[ $(basename "$file") =~ ^[0-9]{14}-[0-9]+\.txt$ ]] || fail "$file was not given a free name"
    cmp "$dir/doc.txt" "$file" || fail "$file does not hold the job"
done
echo PASS
