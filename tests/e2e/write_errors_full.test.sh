#!/usr/bin/env bash
# An output write refused by a full file system counts no sheet: the job
# stays at its last whole sheet, the error row says why, the file holds
# exactly the sheets counted, and once room is made the job ends with a
# file identical to an uninterrupted print.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/write_errors_lib.sh"

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
