#!/usr/bin/env bash
# Start-up in a directory the user cannot write: the error row says
# "mkdir Permission denied", no PRINT appears, and commands still work.
# Root may write anywhere, so as root the program runs as the user nobody
# from a copy that nobody can execute.
source "$(dirname "$0")/lib.sh"

locked=$E2E_DIR/locked
mkdir "$locked"
program=$QUILLBAY
as_user=""
if [ "$(id -u)" -eq 0 ]; then
    command -v setpriv >/dev/null || skip "running as root and setpriv is missing, so no non-root user can run the program"
    uid=$(id -u nobody 2>/dev/null) || skip "running as root and there is no user nobody to run the program as"
    gid=$(id -g nobody)
    as_user="setpriv --reuid=$uid --regid=$gid --clear-groups"
    $as_user true 2>/dev/null || skip "running as root and setpriv cannot switch to nobody here"
    mkdir "$E2E_DIR/bin"
    cp "$QUILLBAY" "$E2E_DIR/bin/quillbay"
    chmod 711 "$E2E_DIR"
    chmod 755 "$E2E_DIR/bin" "$E2E_DIR/bin/quillbay" "$locked"
    program=$E2E_DIR/bin/quillbay
    $as_user test -x "$program" || skip "nobody cannot execute $program"
    $as_user test -w "$locked" && skip "nobody can write $locked"
else
    chmod 555 "$locked"
fi

start_pane locked "$locked" "exec $as_user '$program'"
wait_for_at 22 2 ">>" 15
expect_row 21 " ERROR:mkdir Permission denied"
[ -e "$locked/PRINT" ] && fail "PRINT was made in a directory without write permission"

type_line "admin Add User ann"
type_line "admin Show User List"
wait_for_row 15 " user Name : ann"
echo PASS
