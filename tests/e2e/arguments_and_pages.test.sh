#!/usr/bin/env bash
# The programs' edges: the command-line arguments of all six programs and
# of the tools beside them, the manual pages through a linter, and what
# `cmake --install` installs.
source "$(dirname "$0")/line_lib.sh"

SOURCE_DIR=$(cd "$(dirname "$0")/../.." && pwd)
BUILD_DIR=$(dirname "$LINE_BIN_DIR")
VERSION=$(sed -n 's/^project(quillbay VERSION \([0-9.]*\) .*/\1/p' "$SOURCE_DIR/CMakeLists.txt")
[ -n "$VERSION" ] || fail "no version in CMakeLists.txt"
PROGRAMS=(quillbay quillbay-thread quillbay-greet quillbay-echo quillbay-line quillbay-line-early)

# run PROGRAM ARGUMENT...: runs it in the scratch directory with an input
# that never ends, so a program that started instead of refusing would show
# as a time-out (124); sets status, and leaves out and err behind.
run()
{
    status=0
    timeout 5 "$LINE_BIN_DIR/$1" "${@:2}" < /dev/zero > out 2> err || status=$?
}

for program in "${PROGRAMS[@]}"; do
    run "$program" --help
    [ "$status" -eq 0 ] || fail "$program --help: status $status"
    [ ! -s err ] || fail "$program --help wrote to standard error: $(cat err)"
    [ "$(head -n 1 out)" = "Usage: $program [-h | --help | -V | --version]" ] ||
        fail "$program --help begins: $(head -n 1 out)"
    grep -q '^Exit status:' out || fail "$program --help has no exit statuses"
    awk 'length > 80 { exit 1 }' out || fail "$program --help has lines over 80 columns"
    mv out help
    run "$program" -h
    cmp -s out help || fail "$program -h differs from --help"

    for option in --version -V; do
        run "$program" "$option"
        [ "$status" -eq 0 ] && [ "$(cat out)" = "$program $VERSION" ] && [ ! -s err ] ||
            fail "$program $option: status $status, printed: $(cat out err)"
    done

    # ARGUMENTS|FIRST LINE OF THE ERROR
    while IFS='|' read -r arguments message; do
        read -ra words <<< "$arguments"
        run "$program" "${words[@]}"
        [ "$status" -eq 2 ] || fail "$program $arguments: status $status (124: it started)"
        [ ! -s out ] || fail "$program $arguments wrote to standard output: $(cat out)"
        printf -v expected "%s: %s\nTry '%s --help'." "$program" "$message" "$program"
        [ "$(cat err)" = "$expected" ] || fail "$program $arguments said: $(cat err)"
        [ ! -e PRINT ] || fail "$program $arguments created PRINT"
    done <<'TABLE'
--bogus|unknown option '--bogus'
-x|unknown option '-x'
-hV|unknown option '-hV'
notes.txt|unexpected argument 'notes.txt'
--help extra|unexpected argument 'extra'
-V --verbose|unknown option '--verbose'
TABLE
done

# The tools beside them answer -h, --help and an unknown option alike, and
# create nothing for them: no file named after the option, no scratch
# directory of the benchmarks.
mkdir tools-tmp
for tool in quillbay-make-text quillbay-measure quillbay-bench quillbay-unit-tests quillbay-soak-test; do
    [ -x "$LINE_BIN_DIR/$tool" ] || continue
    for option in -h --help; do
        TMPDIR=$PWD/tools-tmp run "$tool" "$option"
        [ "$status" -eq 0 ] && [ -s out ] && [ ! -s err ] || fail "$tool $option: status $status, $(head -n 1 err)"
    done
    TMPDIR=$PWD/tools-tmp run "$tool" --bogus
    [ "$status" -eq 2 ] && [ ! -s out ] && [ "$(head -n 1 err)" = "$tool: unknown option '--bogus'" ] ||
        fail "$tool --bogus: status $status, $(head -n 1 err)"
    for name in -h --help --bogus; do
        [ ! -e "./$name" ] || fail "$tool made a file named $name"
    done
done
[ -z "$(ls -A tools-tmp)" ] || fail "a tool left a scratch directory: $(ls tools-tmp)"
# quillbay-make-text writes over a file only when told to.
echo kept > text.txt
run quillbay-make-text text.txt 10
[ "$status" -eq 1 ] && [ "$(cat text.txt)" = kept ] || fail "quillbay-make-text wrote over text.txt: status $status"
run quillbay-make-text --force text.txt 10
[ "$status" -eq 0 ] && [ "$(wc -l < text.txt)" = 10 ] || fail "quillbay-make-text --force: status $status"

# Each terminal program's usage tells its own command language.
grep -q '^ admin Add User NAME' < <("$LINE_BIN_DIR/quillbay" --help) ||
    fail "quillbay --help does not ask for admin"
for program in quillbay-thread quillbay-greet quillbay-echo; do
    grep -q '^ The word admin may stand before the first 4 commands' < <("$LINE_BIN_DIR/$program" --help) ||
        fail "$program --help does not say that admin may be left out"
done

# Help that cannot be written is an error, not a success.
status=0
"$LINE_BIN_DIR/quillbay" --help > /dev/full 2> err || status=$?
[ "$status" -eq 1 ] && grep -q 'cannot write' err || fail "--help into a full disk: status $status, $(cat err)"

# The manual pages, one named after each program (four of them links to the
# two that describe them): clean for the linter; man-db finds every program
# each page covers under its NAME section.
PAGES=()
for program in "${PROGRAMS[@]}"; do
    PAGES+=("$SOURCE_DIR/man/$program.1")
done
if command -v mandoc > /dev/null; then
    mandoc -T lint -W all "${PAGES[@]}" > lint 2>&1 || true
elif command -v groff > /dev/null; then
    groff -ww -z -man "${PAGES[@]}" > lint 2>&1 || true
else
    skip "neither mandoc nor groff is installed to lint the manual pages"
fi
[ ! -s lint ] || fail "the linter found: $(cat lint)"
if command -v lexgrog > /dev/null; then
    names=$(lexgrog "${PAGES[@]}")
    for program in "${PROGRAMS[@]}"; do
        grep -Eq "[\":, ]$program[, ]" <<< "$names" || fail "no page names $program: $names"
    done
fi

# Installing: the six programs and a page for each, nothing else; man
# finds each program's page there.
cmake --install "$BUILD_DIR" --prefix "$LINE_DIR/prefix" > /dev/null || fail "cmake --install failed"
installed=$(cd "$LINE_DIR/prefix" && find . -type f -o -type l | sort)
expected=$(printf './bin/%s\n' "${PROGRAMS[@]}"; printf './share/man/man1/%s.1\n' "${PROGRAMS[@]}")
[ "$installed" = "$(sort <<< "$expected")" ] || fail "installed: $installed"
[ "$("$LINE_DIR/prefix/bin/quillbay" --version)" = "quillbay $VERSION" ] || fail "the installed quillbay does not run"
if command -v man > /dev/null; then
    for program in "${PROGRAMS[@]}"; do
        page=$(man -M "$LINE_DIR/prefix/share/man" -w "$program" 2>&1) || fail "man finds no page for $program: $page"
        text=$(LC_ALL=C MANPAGER=cat MANWIDTH=80 man -M "$LINE_DIR/prefix/share/man" "$program" 2> /dev/null)
        grep -q -- "$program" <<< "$text" || fail "the page man shows for $program does not name it"
    done
fi
echo PASS
