#!/usr/bin/env bash
# Output writes that fail (a file size limit; a full file system) count no
# sheet: the job stays at its last whole sheet, the error row says why, the
# file holds exactly the sheets counted, and once the fault clears the job
# ends with a file identical to an uninterrupted print.
source "$(dirname "$0")/lib.sh"

# make_doc FILE LINES: lines of 28 bytes and a line feed, 3 ink units each,
# so each sheet of 10 lines is 290 bytes in the output as in the input.
make_doc()
{
    local i
    for ((i = 1; i <= $2; i++)); do
        printf '%03d%25s\n' "$i" ""
    done >"$1"
}

# job_stays PROGRESS PAPER: the job shows PROGRESS printed over two more
# ticks, with PAPER sheets left, and its file holds just those sheets.
job_stays()
{
    local progress=$1 paper=$2 file
    wait_for_ticks 2
    expect_at 8 2 "Current Printing Job {UID = 0, $progress}"
    [[ $(screen_row 6) == *"Printing... | INK : "*" | PAPER : $paper "* ]] || fail "the printer's paper is not $paper"
    file=("$dir"/PRINT/2*)
    [ "$(stat -c %s "${file[0]}")" -eq $((290 * ${progress%/*})) ] || fail "the file holds more than ${progress%/*} sheets"
}

# print_doc SESSION LINES SHEETS: registers ann, refills, and submits doc.txt.
print_doc()
{
    make_doc "$dir/doc.txt" "$2"
    type_line "admin Add User ann"
    type_line "admin Refill Ink=$((3 * $2)) Paper=$3"
    wait_for_row 6 " Printer Status : Waiting... | INK : $((3 * $2)) | PAPER : $3" 30
    type_line "ann Print doc.txt"
}

# ---------------------------------------------------------------- a size limit

if command -v prlimit >/dev/null; then
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
else
    echo "size limit case skipped: prlimit is missing"
fi

# ---------------------------------------------------------------- a full disk

[ "$(id -u)" -eq 0 ] || skip "mounting a small file system on PRINT needs root"
dir=$E2E_DIR/full
mkdir -p "$dir/PRINT"
mount -t tmpfs -o size=16k tmpfs "$dir/PRINT" 2>/dev/null || skip "cannot mount a tmpfs here"
# The program goes first, so that no open file keeps the mount busy.
trap 'tmux -S "$E2E_SOCKET" kill-server 2>/dev/null; umount -l "$dir/PRINT"; e2e_cleanup' EXIT
# 12 KiB of 16 taken: 4096 bytes left, fourteen sheets of 290 bytes.
head -c 12288 /dev/zero >"$dir/PRINT/filler" || fail "cannot fill the file system"
start_quillbay full "$dir"
print_doc full 190 20
wait_for_at 21 2 "ERROR:print file write failed: No space left on device" 40
job_stays 14/20 6
rm "$dir/PRINT/filler"
wait_for_row 6 " Printer Status : Waiting... | INK : 0 | PAPER : 0" 15
cmp "$dir/doc.txt" "$dir"/PRINT/2* || fail "the job held by a full disk did not print whole"
echo PASS
