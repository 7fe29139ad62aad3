# Started by lib.sh as the first pane of a script's tmux server, where
# nothing that ends the script (ctest's kill on a timeout included) reaches
# it: once the script is gone, it ends the panes' programs, the server and
# the script's temporary directory. A script that ends normally ends it.
# Usage: bash watchdog.sh SCRIPT_PID SOCKET DIR
source "$(dirname "$0")/processes.sh"
trap '' HUP  # ending the server hangs up its own pane

while kill -0 "$1" 2>/dev/null; do
    sleep 1
done
end_tmux_server "$2"
remove_dir "$3"
