# Ending every process an end-to-end script started; sourced by the shared
# helpers, with or without set -e. Ending a pane's process or a background
# job alone is not enough: script(1) runs its program in a session and
# terminal of its own, outlives its own terminal and keeps the program's
# open, so the program never sees a hang-up. Whole trees are ended instead.

# process_trees ROOT...: the pids of the live ROOTs and of every process
# below them, one a line; the calling shell and the subshell this runs in
# (with its ps and awk) are left out. Call it as $(process_trees ...).
process_trees()
{
    local self=$BASHPID  # in the pipeline each side has one of its own
    ps -e -o pid=,ppid= | awk -v roots="$*" -v shell="$$" -v self="$self" '
        { alive[$1] = 1; children[$2] = children[$2] " " $1 }
        END {
            count = split(roots, queue, " ")
            for (i = 1; i <= count; i++) {
                pid = queue[i]
                if (!(pid in alive) || pid == self || seen[pid]++)
                    continue
                if (pid != shell)
                    print pid
                n = split(children[pid], below, " ")
                for (j = 1; j <= n; j++)
                    queue[++count] = below[j]
            }
        }'
}

# end_process_trees ROOT...: kills each ROOT and all below it. They are
# stopped first, until a look finds no new process, so that none can start
# one between the look and the kill. Children of this shell are reaped.
end_process_trees()
{
    local pids="" found looks
    for ((looks = 0; looks < 20; looks++)); do
        found=$(process_trees "$@")
        [ "$found" = "$pids" ] && break
        pids=$found
        kill -STOP $pids 2>/dev/null || true
    done
    [ -n "$pids" ] || return 0
    kill -KILL $pids 2>/dev/null || true
    wait $pids 2>/dev/null || true
}

# end_tmux_server SOCKET: ends the process tree of every live pane of the
# tmux server at SOCKET, then the server.
end_tmux_server()
{
    end_process_trees $(tmux -S "$1" list-panes -a -F '#{?pane_dead,,#{pane_pid}}' 2>/dev/null)
    tmux -S "$1" kill-server 2>/dev/null || true
}

# remove_dir DIR: removes DIR, with whatever a test made unwritable in it.
remove_dir()
{
    chmod -R u+rwX "$1" 2>/dev/null || true
    rm -rf "$1"
}

# on_exit FUNCTION: runs FUNCTION however the script ends, on a signal too
# (bash runs no exit trap when a signal kills it).
on_exit()
{
    trap "$1" EXIT
    trap 'exit 1' HUP INT TERM
}
