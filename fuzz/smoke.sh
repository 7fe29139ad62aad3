#!/usr/bin/env bash
# The fuzz smoke runs of `make test`, and the long runs of the README.
#   smoke.sh build                    configures and builds build-fuzz/ (clang)
#   smoke.sh run TARGET SECONDS [RUNS] fuzzes TARGET (command_language,
#                                     print_line, line_grammar, prompt_keys)
#                                     from a copy of its seed corpus for
#                                     SECONDS, or for RUNS executions when
#                                     RUNS is given
# A finding fails the run; its input is kept in build-fuzz/findings/. The
# fuzzer's whole log, progress lines included, is kept in
# build-fuzz/logs/TARGET.log.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

# Per target: the longest input worth trying (a command line may reach the
# line editor's 2047 bytes, with room for a few more lines; a print file
# must hold lines far past them).
max_len_of()
{
    case $1 in
    print_line) echo 8192 ;;
    command_language) echo 2600 ;;
    *) echo 5000 ;;
    esac
}

build()
{
    command -v clang++ >/dev/null || { echo "clang++ is missing: apt-get install clang libclang-rt-14-dev" >&2; exit 1; }
    cd "$root"
    cmake --preset fuzz >/dev/null
    cmake --build --preset fuzz -j "$(nproc)"
}

run()
{
    local target=${1:?target} seconds=${2:?seconds} runs=${3:--1}
    local binary=$root/build-fuzz/bin/fuzz_$target
    [ -x "$binary" ] || { echo "no fuzz target at $binary: run '$0 build' first" >&2; exit 1; }
    # A memory file system when there is one: the targets write, open and
    # list files for every input, which a disk slows down about twofold.
    local work scratch=${TMPDIR:-/tmp}
    [ -z "${TMPDIR:-}" ] && [ -d /dev/shm ] && [ -w /dev/shm ] && scratch=/dev/shm
    work=$(mktemp -d "$scratch/quillbay-fuzz-run.XXXXXX")
    trap 'rm -rf "$work"' EXIT
    mkdir "$work/corpus" "$work/tmp" "$work/findings"
    mkdir -p "$root/build-fuzz/logs"
    local log=$root/build-fuzz/logs/$target.log
    cp "$root/fuzz/corpus/$target"/* "$work/corpus/"
    # A smaller quarantine than the 256 MB default still catches a use after
    # free within an input, and keeps the memory in the caches: half again as
    # fast.
    local status
    set +e
    ASAN_OPTIONS=${ASAN_OPTIONS:-quarantine_size_mb=16} TMPDIR=$work/tmp "$binary" "$work/corpus" -seed=1 -max_total_time="$seconds" -runs="$runs" \
        -max_len="$(max_len_of "$target")" -timeout=25 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$work/findings/" 2>&1 | tee "$log" | grep -v -e '^#[0-9]' -e '^INFO:'
    status=${PIPESTATUS[0]}
    set -e
    if [ -n "$(ls -A "$work/findings")" ]; then
        mkdir -p "$root/build-fuzz/findings"
        cp "$work/findings"/* "$root/build-fuzz/findings/"
        echo "FAIL: findings kept in $root/build-fuzz/findings/" >&2
        exit 1
    fi
    exit "$status"
}

case ${1:-} in
build) build ;;
run) shift; run "$@" ;;
*) echo "usage: $0 build | run TARGET SECONDS [RUNS]" >&2; exit 2 ;;
esac
