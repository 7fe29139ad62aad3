# What the scripts of failing output writes share, sourced after lib.sh:
# a print file whose sheets are as long in the output as in the input, the
# submission of its job, and the check that a held job stays where it is.

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
