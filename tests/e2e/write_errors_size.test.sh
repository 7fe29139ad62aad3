#!/usr/bin/env bash
# An output write refused by a file size limit counts no sheet: the job
# stays at its last whole sheet, the error row says why, the file holds
# exactly the sheets counted, and once the limit is lifted the job ends
# with a file identical to an uninterrupted print.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/write_errors_lib.sh"

command -v prlimit >/dev/null || skip "prlimit is missing"
dir=$E2E_DIR/limit
mkdir "$dir"
# 1024 bytes: three sheets fit, the fourth does not.
start_quillbay limit "$dir" "ulimit -S -f 2"
print_doc limit 60 7
wait_for_at 21 2 "ERROR:print file write failed: File too large" 15
job_stays 3/7 4
prlimit --pid "$(pane_value '#{pane_pid}')" --fsize=unlimited || fail "prlimit could not lift the limit"
wait_for_row 6 " Printer Status : Waiting... | INK : 0 | PAPER : 0" 15
cmp "$dir/doc.txt" "$dir"/PRINT/2* || fail "the job held by a size limit did not print whole"
echo PASS
