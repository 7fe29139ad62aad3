#!/usr/bin/env bash
# PRINT changed under a running program: removed, it is made again for the
# next job; replaced by a regular file, or without write permission, the job
# is ended with "print file fopen failed.", nothing is used up, nothing
# existing is touched, and the next job prints once PRINT is back.
source "$(dirname "$0")/lib.sh"

# Root writes anywhere, so as root the program runs as nobody.
program=$QUILLBAY
as_user=""
if [ "$(id -u)" -eq 0 ]; then
    command -v setpriv >/dev/null || skip "running as root and setpriv is missing"
    uid=$(id -u nobody 2>/dev/null) || skip "running as root and there is no user nobody"
    as_user="setpriv --reuid=$uid --regid=$(id -g nobody) --clear-groups"
    $as_user true 2>/dev/null || skip "setpriv cannot switch to nobody here"
    mkdir "$E2E_DIR/bin"
    cp "$QUILLBAY" "$E2E_DIR/bin/quillbay"
    chmod 755 "$E2E_DIR" "$E2E_DIR/bin" "$E2E_DIR/bin/quillbay"
    program=$E2E_DIR/bin/quillbay
fi

dir=$E2E_DIR/printdir
mkdir "$dir"
printf 'one\ntwo\n' >"$dir/doc.txt"
chmod 777 "$dir"
chmod 644 "$dir/doc.txt"
start_pane printdir "$dir" "exec $as_user '$program'"
wait_for_at 22 2 ">>" 15
type_line "admin Add User ann"
type_line "admin Refill Ink=100 Paper=10"
wait_for_row 6 " Printer Status : Waiting... | INK : 100 | PAPER : 10" 30

# what to do to PRINT ; error row after the job ; printer levels after ; files in PRINT
CASES=(
    "rm -rf PRINT; ;INK : 94 | PAPER : 9;1"
    "rm -rf PRINT && echo keep >PRINT;print file fopen failed.;INK : 94 | PAPER : 9;keep"
    "rm -f PRINT && mkdir PRINT && chmod 555 PRINT;print file fopen failed.;INK : 94 | PAPER : 9;0"
    "chmod 777 PRINT; ;INK : 88 | PAPER : 8;1"
)
for row in "${CASES[@]}"; do
    IFS=';' read -r change error levels outputs <<<"$row"
    (cd "$dir" && eval "$change") || fail "cannot do: $change"
    type_line "ann Print doc.txt"
    [ "$error" != " " ] && wait_for_row 21 " ERROR:$error" 10
    wait_for_row 6 " Printer Status : Waiting... | $levels" 10
    if [ "$outputs" = keep ]; then
        [ "$(cat "$dir/PRINT")" = keep ] || fail "the file PRINT was changed"
    else
        count=$(find "$dir/PRINT" -type f | wc -l)
        [ "$count" = "$outputs" ] || fail "after \"$change\" PRINT holds $count files"
        [ "$outputs" = 0 ] || cmp "$dir/doc.txt" "$(find "$dir/PRINT" -type f | head -1)" || fail "wrong output"
    fi
    # An empty line clears the error row for the next case.
    type_line ""
    wait_for_keys_taken
    expect_row 21 ""
done
is_running || fail "the program ended"
echo PASS
