#!/usr/bin/env bash
# The error row: a message replaces the start-up message whole, stays while
# the next line is typed across engine steps, and is gone once that line is
# entered without an error of its own.
source "$(dirname "$0")/lib.sh"

dir=$E2E_DIR/errors
mkdir "$dir"
start_quillbay errors "$dir"
expect_row 21 " ERROR:mkdir successed."

type_line "zed Print x"
wait_for_row 21 " ERROR:'zed' is not registed user."
wait_for_row 22 " >>"

send_text "admin Show"
wait_for_row 22 " >>admin Show"
wait_for_ticks 2
expect_row 21 " ERROR:'zed' is not registed user."

send_keys Enter
wait_for_row 22 " >>"
wait_for_row 21 ""
echo PASS
