#!/usr/bin/env bash
# quillbay-line-early returns at once with status 0 and reads no command:
# its standard input is a pipe that stays open and never sends anything.
source "$(dirname "$0")/line_lib.sh"

mkfifo input
exec 3<>input  # holds the pipe open: a read would wait for ever
start=$(now_ms)
status=0
timeout 5 "$LINE_BIN_DIR/quillbay-line-early" < input > out 2> err || status=$?
elapsed=$(( $(now_ms) - start ))
exec 3>&-

[ "$status" -eq 0 ] || fail "exit status $status (124: it was still running after 5 s)"
[ "$elapsed" -lt 2000 ] || fail "it took $elapsed ms"
[ ! -s out ] || fail "it wrote: $(cat out)"
[ ! -s err ] || fail "it wrote to standard error: $(cat err)"
echo PASS
