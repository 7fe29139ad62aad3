# Shared helpers of the end-to-end scripts, sourced first by each of them.
# A script runs as `bash script.test.sh <bin dir>`: it gets a private temporary
# directory and a private tmux server, starts programs in detached panes of an
# exact size, types into them and reads the screen back as plain text.
# Exit status: 0 passed, 1 failed (the screen is printed), 77 skipped.
#
# Screen rows and columns count from 0, as curses counts them. Every wait
# polls with a deadline, so a loaded machine only makes a test slower; the
# helpers start as few processes as they can, since the scripts run side
# by side and each process started is load on the others.

set -u
E2E_LIB_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$E2E_LIB_DIR/processes.sh"

E2E_BIN_DIR=$(cd "${1:?usage: bash $0 <bin dir>}" && pwd) || exit 1
QUILLBAY=$E2E_BIN_DIR/quillbay

# The scripts' own text handling (string lengths, display widths) and the
# programs under test share one UTF-8 locale and one time zone, so the
# script can compute the file names and clock texts the program shows.
unset LC_ALL LC_CTYPE LC_MESSAGES TMUX
export LANG=C.UTF-8 TZ=UTC

E2E_DIR=$(mktemp -d "${TMPDIR:-/tmp}/quillbay-e2e.XXXXXX") || exit 1
E2E_SOCKET=$E2E_DIR/tmux.sock
E2E_SESSION=""            # the pane the helpers act on; set by start_pane
E2E_POLL_INTERVAL=0.1     # seconds between two looks at the screen

# Ends the script's background jobs, every pane's programs, the server.
e2e_cleanup()
{
    end_process_trees $$
    end_tmux_server "$E2E_SOCKET"
    remove_dir "$E2E_DIR"
}
on_exit e2e_cleanup

# Ends the script as skipped, saying why.
skip()
{
    echo "SKIPPED: $*"
    exit 77
}

command -v tmux >/dev/null || skip "tmux is not installed"
[ -x "$QUILLBAY" ] || { echo "FAIL: no program at $QUILLBAY"; exit 1; }

# The first terminal type this machine's terminfo knows, tmux's own first.
e2e_terminal_type()
{
    local type
    for type in tmux-256color screen-256color screen; do
        if infocmp "$type" >/dev/null 2>&1; then
            echo "$type"
            return
        fi
    done
    echo screen
}

# A dead pane stays, so a crash leaves its last screen and exit status to
# report. Detached sessions keep the size they were made with; resize-window
# changes it. (Setting window-size to manual here crashes tmux 3.3a.)
cat >"$E2E_DIR/tmux.conf" <<EOF
set -g default-terminal $(e2e_terminal_type)
set -g default-shell /bin/sh
set -g status off
set -g remain-on-exit on
set -g history-limit 0
EOF

qb_tmux()
{
    tmux -f "$E2E_DIR/tmux.conf" -S "$E2E_SOCKET" "$@"
}

# The server's first pane cleans up after a script killed outright.
qb_tmux new-session -d -s e2e-watchdog \
    "exec bash '$E2E_LIB_DIR/watchdog.sh' $$ '$E2E_SOCKET' '$E2E_DIR'" ||
    { echo "FAIL: cannot start tmux"; exit 1; }

# A pipe that nothing writes to: reading it with a time-out is a pause
# that starts no process. Opened after the server, which keeps no copy.
mkfifo "$E2E_DIR/idle" && exec {E2E_IDLE_FD}<>"$E2E_DIR/idle" ||
    { echo "FAIL: cannot make $E2E_DIR/idle"; exit 1; }

# pause SECONDS
pause()
{
    read -r -t "$1" -u "$E2E_IDLE_FD" _
    return 0
}

# ---------------------------------------------------------------- panes

# start_pane NAME DIR COMMAND [COLUMNS ROWS]: runs the sh command line
# COMMAND in DIR, in a new detached pane of COLUMNS x ROWS (80x25 by default),
# and makes it the pane that the helpers act on.
start_pane()
{
    local name=$1 dir=$2 command=$3 columns=${4:-80} rows=${5:-25}
    qb_tmux new-session -d -s "$name" -x "$columns" -y "$rows" -c "$dir" "$command" ||
        fail "cannot start tmux session $name"
    E2E_SESSION=$name
}

# start_quillbay NAME DIR [SETUP]: starts the program in DIR, after the sh
# commands SETUP (a umask, say), and waits for its first prompt.
start_quillbay()
{
    local name=$1 dir=$2 setup=${3:-:}
    start_pane "$name" "$dir" "$setup; exec '$QUILLBAY'"
    wait_for_at 22 2 ">>" 15
}

# start_shell NAME DIR [COLUMNS ROWS]: an interactive bash in a new pane,
# its prompt "shell> ", ready for a command line.
start_shell()
{
    start_pane "$1" "$2" "PS1='shell> ' exec bash --norc --noprofile -i" "${3:-80}" "${4:-25}"
    wait_for "shell>"
}

# run_from_shell COMMAND: runs COMMAND from the pane's shell, which writes
# in its directory the terminal modes before and after it (files before and
# after) and its exit status (file status), then clears the screen and says
# "command ended" on its first row.
run_from_shell()
{
    type_line "stty -g >before; $1; echo \$? >status; stty -g >after; clear; printf 'command %s\\n' ended"
}

# wait_for_shell_back SECONDS: true once the command of run_from_shell has
# ended and its shell has cleared the screen and shows its prompt again.
# That text comes after every byte the program wrote, so by then the
# terminal has taken them all, and the files are written.
wait_for_shell_back()
{
    wait_until "$1" shell_back
}

shell_back()
{
    local lines
    mapfile -t lines < <(screen)
    [ "${lines[0]-}" = "command ended" ] && [ "${lines[1]-}" = "shell>" ]
}

pane_value()
{
    qb_tmux display-message -p -t "$E2E_SESSION" "$1"
}

# The whole pane as plain text, one line per row. Blanks after a row's last
# character are dropped, so the rows of a larger pane read as at 80x25.
screen()
{
    qb_tmux capture-pane -p -t "$E2E_SESSION"
}

# One row of the pane.
screen_row()
{
    qb_tmux capture-pane -p -t "$E2E_SESSION" -S "$1" -E "$1"
}

# "x,y" of the terminal cursor.
cursor()
{
    pane_value '#{cursor_x},#{cursor_y}'
}

is_running()
{
    [ "$(pane_value '#{pane_dead}')" = 0 ]
}

# ---------------------------------------------------------------- typing

# Types TEXT literally, without Enter.
send_text()
{
    qb_tmux send-keys -t "$E2E_SESSION" -l -- "$1"
}

# Presses named keys: Enter, BSpace, C-u...
send_keys()
{
    qb_tmux send-keys -t "$E2E_SESSION" "$@"
}

# Types one command line and ends it with Enter.
type_line()
{
    qb_tmux send-keys -t "$E2E_SESSION" -l -- "$1" \; send-keys -t "$E2E_SESSION" Enter
}

# wait_for_keys_taken: waits until the program has read every key sent so
# far and stands at an empty prompt: a mark typed after them shows there.
# The mark is then erased, before any key sent later.
wait_for_keys_taken()
{
    send_text "~"
    wait_for_row 22 " >>~" 10
    send_keys BSpace
}

# expect_error LINE [ERROR]: types LINE and, once the program has handled
# it, expects the error row to show ERROR (to be empty without one).
expect_error()
{
    type_line "$1"
    wait_for_keys_taken
    expect_row 21 "${2:+ ERROR:$2}"
}

# ---------------------------------------------------------------- reading

# The number of terminal columns that TEXT takes (two for a Hangul syllable).
display_width()
{
    if [[ $1 == *[![:ascii:]]* ]]; then
        printf '%s' "$1" | wc -L
    else
        echo "${#1}"
    fi
}

# True when TEXT is on screen row ROW starting at display column COLUMN.
text_at()
{
    local row=$1 column=$2 text=$3 line rest before="" prefix
    line=$(screen_row "$row")
    rest=$line
    while [[ $rest == *"$text"* ]]; do
        prefix=${rest%%"$text"*}
        before+=$prefix
        [ "$(display_width "$before")" -eq "$column" ] && return 0
        before+=${text:0:1}
        rest=${rest#"$prefix"}
        rest=${rest:1}
    done
    return 1
}

screen_has()
{
    [[ $(screen) == *"$1"* ]]
}

# TEXT as a whole row inside a window's side frames.
framed()
{
    local pad=$((78 - $(display_width "$1")))
    printf '│%s%*s│' "$1" "$pad" ""
}

# True when screen row ROW is exactly TEXT between the frame's sides.
row_is()
{
    [ "$(screen_row "$1")" = "$(framed "$2")" ]
}

# rows_are ROW TEXT [ROW TEXT]...: true when each ROW is exactly its TEXT
# between the frame's sides, all read from one look at the screen.
rows_are()
{
    local lines
    mapfile -t lines < <(screen)
    while [ $# -ge 2 ]; do
        [ "${lines[$1]-}" = "$(framed "$2")" ] || return 1
        shift 2
    done
}

# True when the rows FIRST to LAST hold nothing but the frame's sides.
rows_blank()
{
    local row lines
    mapfile -t lines < <(screen)
    for ((row = $1; row <= $2; row++)); do
        [[ ${lines[row]-} =~ ^│\ {78}│$ ]] || return 1
    done
}

# ---------------------------------------------------------------- waiting

now_microseconds()
{
    echo "${EPOCHREALTIME/[.,]/}"
}

# wait_until SECONDS COMMAND...: polls COMMAND until it succeeds; false when
# SECONDS pass first. A dead program ends the wait within a second.
wait_until()
{
    local seconds=$1 polls
    shift
    local deadline=$(($(now_microseconds) + seconds * 1000000))
    for ((polls = 1; ; polls++)); do
        "$@" && return 0
        [ "$(now_microseconds)" -lt "$deadline" ] || return 1
        ((polls % 10 != 0)) || is_running || return 1
        pause "$E2E_POLL_INTERVAL"
    done
}

# wait_for TEXT [SECONDS]: fails the test unless TEXT shows anywhere in time.
wait_for()
{
    wait_until "${2:-10}" screen_has "$1" || fail "\"$1\" never showed"
}

# wait_for_at ROW COLUMN TEXT [SECONDS]: the same at one place.
wait_for_at()
{
    wait_until "${4:-10}" text_at "$1" "$2" "$3" || fail "\"$3\" never showed at row $1, column $2"
}

# expect_at ROW COLUMN TEXT: fails the test unless TEXT is there now.
expect_at()
{
    text_at "$1" "$2" "$3" || fail "expected \"$3\" at row $1, column $2"
}

# wait_for_row ROW TEXT [SECONDS]: the whole row, frame sides around TEXT.
wait_for_row()
{
    wait_until "${3:-10}" row_is "$1" "$2" || fail "row $1 never became \"$2\""
}

# expect_row ROW TEXT: the whole row, now.
expect_row()
{
    row_is "$1" "$2" || fail "row $1 is not \"$2\""
}

row_differs()
{
    [ "$(screen_row "$1")" != "$2" ]
}

# printing_at_least UID SHEETS DONE: true while row 8 shows the job of
# user UID, of SHEETS sheets, with at least DONE of them printed; sets
# PRINTED to the count shown. A job shows at each count for one engine step
# only, so a wait on a count that has passed would race.
printing_at_least()
{
    [[ $(screen_row 8) =~ ^"│ Current Printing Job {UID = $1, "([0-9]+)/$2"} " ]] || return 1
    PRINTED=${BASH_REMATCH[1]}
    ((PRINTED >= $3))
}

# wait_for_ticks N: waits until the clock on row 5 has changed N times, that
# is until N engine steps have redrawn the status window.
wait_for_ticks()
{
    local i before
    for ((i = 0; i < $1; i++)); do
        before=$(screen_row 5)
        wait_until 10 row_differs 5 "$before" || fail "the clock stopped"
    done
}

cursor_is()
{
    [ "$(cursor)" = "$1,$2" ]
}

# wait_for_cursor X Y [SECONDS]
wait_for_cursor()
{
    wait_until "${3:-5}" cursor_is "$1" "$2" || fail "the cursor is at $(cursor), expected $1,$2"
}

# ---------------------------------------------------------------- failing

# Prints MESSAGE, the pane with row numbers, the cursor and, if the program
# ended, its exit status; then fails the test.
fail()
{
    echo "FAIL: $*"
    if [ -n "$E2E_SESSION" ] && qb_tmux has-session -t "$E2E_SESSION" 2>/dev/null; then
        echo "--- pane $E2E_SESSION, cursor $(cursor):"
        screen | awk '{ printf "%2d|%s\n", NR - 1, $0 }'
        is_running || echo "--- the program ended with status $(pane_value '#{pane_dead_status}')"
    fi
    exit 1
}
