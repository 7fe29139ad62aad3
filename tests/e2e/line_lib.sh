# Shared helpers of the line-mode program's end-to-end scripts, sourced
# first by each of them. A script runs as `bash line_*.test.sh <bin dir>`,
# works in a private temporary directory of its own, and every program it
# starts is killed and the directory removed however the script ends.
# Exit status: 0 passed, 1 failed, 77 skipped.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/processes.sh"

LINE_BIN_DIR=$(cd "${1:?usage: bash $0 <bin dir>}" && pwd)
QUILLBAY_LINE=$LINE_BIN_DIR/quillbay-line
LINE_DIR=$(mktemp -d "${TMPDIR:-/tmp}/quillbay-line-e2e.XXXXXX")
cd "$LINE_DIR"

line_cleanup()
{
    end_process_trees $$
    remove_dir "$LINE_DIR"
}
on_exit line_cleanup

fail() { echo "FAIL: $*" >&2; exit 1; }
skip() { echo "SKIPPED: $*"; exit 77; }

# Milliseconds on a clock that only moves forward.
now_ms() { echo $(( $(date +%s%N) / 1000000 )); }

# wait_until SECONDS COMMAND...: runs COMMAND every 50 ms until it succeeds
# (status 0) or SECONDS have passed (status 1).
wait_until()
{
    local deadline=$(( $(now_ms) + $1 * 1000 ))
    shift
    until "$@"; do
        [ "$(now_ms)" -lt "$deadline" ] || return 1
        sleep 0.05
    done
}
