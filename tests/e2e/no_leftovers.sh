#!/usr/bin/env bash
# Runs after the end-to-end scripts: fails, naming them, when processes
# from the build's bin directory are still running. A program counts when
# its executable is there or its command line names it (the script and sh
# wrappers around a program too). What the caller is still running (ctest
# and its other tests, this script) is not left over.
# Usage: bash no_leftovers.sh <bin dir>. Exit status: 0 none, 1 some.
set -u

logical=$(cd "${1:?usage: bash $0 <bin dir>}" && pwd) || exit 1
physical=$(cd "$logical" && pwd -P) || exit 1
caller=$PPID

# "PID ARGS" of each leftover, one a line.
leftovers()
{
    {
        # Executables first: PID per line, a blank line ends the list.
        find /proc -mindepth 2 -maxdepth 2 -name exe -lname "$physical/*" 2>/dev/null |
            awk -F/ '{ print $3 }'
        echo
        ps -e -ww -o pid=,ppid=,args=
    } | awk -v caller="$caller" -v logical="$logical/" -v physical="$physical/" '
        # True when PATH stands in TEXT as a path of its own, not as the
        # tail of a longer one (another worktree holding this one).
        function names(text, path,    at, before) {
            while ((at = index(text, path)) > 0) {
                before = at == 1 ? "" : substr(text, at - 1, 1)
                if (before !~ /[[:alnum:]._\/-]/)
                    return 1
                text = substr(text, at + 1)
            }
            return 0
        }
        function under_caller(pid,    steps) {
            for (steps = 0; pid > 1 && steps < 1000; steps++) {
                if (pid == caller)
                    return 1
                pid = parent[pid]
            }
            return 0
        }
        !listed && $0 == "" { listed = 1; next }
        !listed { by_executable[$1] = 1; next }
        {
            pid = $1; parent[pid] = $2
            args = $0
            sub(/^ *[0-9]+ +[0-9]+ /, "", args)
            command[pid] = args
        }
        END {
            for (pid in command)
                if ((pid in by_executable || names(command[pid], logical) || names(command[pid], physical)) &&
                    !under_caller(pid))
                    print pid, command[pid]
        }' | sort -n
}

# A program being ended by a script's cleanup just now is given a moment.
for ((tries = 0; tries < 50; tries++)); do
    found=$(leftovers)
    [ -z "$found" ] && { echo PASS; exit 0; }
    sleep 0.1
done
echo "FAIL: left running from $logical:"
echo "$found"
exit 1
