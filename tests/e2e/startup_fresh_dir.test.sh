#!/usr/bin/env bash
# Start-up in an empty directory: the error row reports that PRINT was made,
# the prompt follows with the cursor after it, and PRINT gets mode 0777 less
# the umask.
source "$(dirname "$0")/lib.sh"

# umask  mode PRINT gets
CASES=(
    "022 755"
    "002 775"
    "077 700"
)

for case in "${CASES[@]}"; do
    read -r mask mode <<<"$case"
    dir=$E2E_DIR/umask$mask
    mkdir "$dir"
    start_quillbay "umask$mask" "$dir" "umask $mask"
    expect_row 21 " ERROR:mkdir successed."
    expect_row 22 " >>"
    wait_for_cursor 4 22
    [ -d "$dir/PRINT" ] || fail "umask $mask: PRINT was not made"
    actual=$(stat -c %a "$dir/PRINT")
    [ "$actual" = "$mode" ] || fail "umask $mask: PRINT has mode $actual, expected $mode"
done
echo PASS
