#!/usr/bin/env bash
# Start-up where PRINT cannot be made: it exists already (and is left as it
# was), or the working directory was removed. Either way the error row says
# why and the program reaches its prompt.
source "$(dirname "$0")/lib.sh"

existing=$E2E_DIR/existing
mkdir -p "$existing/PRINT"
chmod 700 "$existing/PRINT"
echo "an earlier job" >"$existing/PRINT/20240101120000.txt"
start_quillbay existing "$existing"
expect_row 21 " ERROR:mkdir PRINT exist"
expect_row 22 " >>"
[ "$(stat -c %a "$existing/PRINT")" = 700 ] || fail "the mode of the existing PRINT changed"
[ "$(cat "$existing/PRINT/20240101120000.txt")" = "an earlier job" ] || fail "an earlier output file changed"
[ "$(ls "$existing/PRINT" | wc -l)" = 1 ] || fail "PRINT gained files at start-up"

gone=$E2E_DIR/gone
mkdir "$gone"
start_quillbay gone "$gone" "rmdir '$gone'"
expect_row 21 " ERROR:mkdir ENOENT"
expect_row 22 " >>"
echo PASS
