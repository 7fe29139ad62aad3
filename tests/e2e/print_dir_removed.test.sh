#!/usr/bin/env bash
# PRINT removed while a job prints, then the job's file replaced by another:
# each time the job goes on in a new file under the usual name rules (the
# job's start time, "-1" when taken) that holds every sheet printed so far,
# and the job ends with a file identical to an uninterrupted print. The
# stranger's file is left as it was.
source "$(dirname "$0")/lib.sh"

dir=$E2E_DIR/removed
mkdir "$dir"
for ((i = 1; i <= 75; i++)); do echo "line $i"; done >"$dir/doc.txt"

start_quillbay removed "$dir"
type_line "admin Add User ann"
type_line "admin Refill Ink=600 Paper=10"
wait_for_row 6 " Printer Status : Waiting... | INK : 600 | PAPER : 10" 30
type_line "ann Print doc.txt"
wait_until 10 printing_at_least 0 8 0 || fail "the job never started"
name=$(cd "$dir/PRINT" && echo 2*.txt)

wait_until 10 printing_at_least 0 8 2 || fail "the job never printed 2 sheets"
rm -rf "$dir/PRINT"
wait_for_at 21 2 "ERROR:print file was removed; printing goes on in PRINT/$name" 5

wait_until 10 printing_at_least 0 8 5 || fail "the job stopped after PRINT was removed"
echo "someone else's" >"$dir/other"
mv "$dir/other" "$dir/PRINT/$name"
wait_for_at 21 2 "ERROR:print file was removed; printing goes on in PRINT/${name%.txt}-1.txt" 5

wait_for_row 6 " Printer Status : Waiting... | INK : 159 | PAPER : 2" 10
cmp "$dir/doc.txt" "$dir/PRINT/${name%.txt}-1.txt" || fail "the moved job's file is not the whole input"
[ "$(cat "$dir/PRINT/$name")" = "someone else's" ] || fail "the stranger's file was changed"
echo PASS
