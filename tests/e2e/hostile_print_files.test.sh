#!/usr/bin/env bash
# Hostile print files: what cannot be read as a text file is refused with a
# clear error and the prompt stays usable; a binary file, a file deleted,
# truncated or grown after admission print soundly: what printed is what
# the file held, and each job uses the sheets it was admitted with.
source "$(dirname "$0")/lib.sh"

dir=$E2E_DIR/files
mkdir "$dir" "$dir/adir"
mkfifo "$dir/fifo"
printf 'ab\0cd\nef\n' >"$dir/nul.bin"
# One 10 MiB line: 5,123 reads of 2047 bytes with text, then the read at the end.
{ head -c 10485760 /dev/zero | tr '\0' x; echo; } >"$dir/long.txt"
# 12 lines of 5 letters: 60 ink, 13 reads, 2 sheets.
for ((i = 10; i < 22; i++)); do echo "line$((i % 10))"; done >"$dir/twelve.txt"
for name in deleted truncated grown; do cp "$dir/twelve.txt" "$dir/$name.txt"; done

start_quillbay files "$dir"
type_line "admin Add User ann"
type_line "admin Refill Ink=600 Paper=20"
wait_for_row 6 " Printer Status : Waiting... | INK : 600 | PAPER : 20" 30

# command | the error row after it
REFUSED=(
    "ann Print adir|request file fopen failed."
    "ann Print fifo|request file fopen failed."
    "ann Print /dev/zero|request file fopen failed."
    "ann Print long.txt|'Request Job need more supplies. needInk = 153690, needPaper=513"
)
for row in "${REFUSED[@]}"; do
    command=${row%%|*}
    type_line "$command"
    wait_for_row 21 " ERROR:${row#*|}" 15
    [[ $(screen_row 11) == *[![:space:]│]* ]] && fail "$command queued a job"
done

# Sets OUTPUT to the output file that is new since the last call.
SEEN=""
new_output()
{
    local file
    OUTPUT=""
    for file in "$dir"/PRINT/*; do
        [[ " $SEEN " == *" $file "* ]] && continue
        SEEN+=" $file"
        OUTPUT=$file
    done
}

printer_idle() { text_at 6 2 "Printer Status : Waiting..." && ! [[ $(screen_row 8) == *Current* ]]; }

# A NUL byte ends its print line: the rest of that line is not printed.
type_line "ann Print nul.bin"
wait_until 15 printer_idle || fail "nul.bin never finished"
wait_for_row 6 " Printer Status : Waiting... | INK : 596 | PAPER : 19" 5
new_output
printf 'abef\n' | cmp - "$OUTPUT" || fail "nul.bin printed other bytes"

# name | what happens to the file while the job waits for its first sheet
CHANGES=(
    "deleted|rm"
    "truncated|truncate -s 0"
    "grown|seq 100 140 >>"
)
for row in "${CHANGES[@]}"; do
    name=${row%%|*}
    cp "$dir/$name.txt" "$dir/$name.before"
    type_line "ann Print $name.txt"
    wait_until 15 printing_at_least 0 2 0 || fail "$name.txt never started"
    eval "${row#*|} '$dir/$name.txt'"
    [ -e "$dir/$name.txt" ] && cp "$dir/$name.txt" "$dir/$name.after"
    wait_until 15 printer_idle || fail "$name.txt never finished"
    new_output
    output=$OUTPUT
    case $name in
    deleted) cmp "$dir/$name.before" "$output" || fail "the deleted file did not print whole" ;;
    truncated) # what was read before the cut may print; nothing else may
        head -c "$(stat -c %s "$output")" "$dir/$name.before" | cmp - "$output" ||
        fail "the truncated file printed what it never held" ;;
    grown) lines=$(wc -l <"$output")
        ((lines >= 12 && lines <= 20)) || fail "the grown file printed $lines lines, not its 2 sheets"
        head -n "$lines" "$dir/$name.after" | cmp - "$output" || fail "the grown file printed other lines" ;;
    esac
done
wait_for_at 6 2 "Printer Status : Waiting..." 5
[[ $(screen_row 6) =~ PAPER\ :\ 13 ]] || fail "the three jobs did not use 2 sheets each: $(screen_row 6)"
is_running || fail "the program ended"
echo PASS
