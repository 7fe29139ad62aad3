#!/usr/bin/env bash
# Runs the end-to-end tests N times in a row from one build, then names
# every test that failed in any run and how often, and ends with a summary
# line. A test that fails in some runs and passes in others is flaky.
# Usage: tools/e2e-repeat.sh N [BUILD DIR]   (default: build, as make test
# left it). JOBS sets how many scripts run at once (default: five per core,
# as in make test). Each run's log stays in BUILD DIR/e2e-repeat/.
# Exit status: 0 every run passed, 1 some test failed, 2 usage.
set -u

runs=${1:-}
build=${2:-build}
[[ $runs =~ ^[1-9][0-9]*$ ]] || { echo "usage: $0 N [build dir]" >&2; exit 2; }
[ -f "$build/CTestTestfile.cmake" ] ||
    { echo "$0: $build holds no configured tests; run make test first" >&2; exit 2; }
jobs=${JOBS:-$(($(nproc 2>/dev/null || echo 2) * 5))}
logs=$build/e2e-repeat
mkdir -p "$logs" || exit 2

# The names ctest lists under "The following tests FAILED:" in LOG.
failed_tests()
{
    awk '/^The following tests FAILED:/ { listing = 1; next }
         listing && /^[[:space:]]+[0-9]+ - / { print $3; next }
         listing { listing = 0 }' "$1"
}

declare -A failures=()
failed_runs=0
for ((run = 1; run <= runs; run++)); do
    log=$logs/run-$run.log
    started=$SECONDS
    if ctest --test-dir "$build" -L e2e -j "$jobs" --output-on-failure >"$log" 2>&1; then
        echo "run $run of $runs: passed in $((SECONDS - started)) s"
        continue
    fi
    failed_runs=$((failed_runs + 1))
    names=$(failed_tests "$log")
    echo "run $run of $runs: FAILED in $((SECONDS - started)) s: ${names:-no test named, see $log}"
    for name in ${names:-"(ctest itself)"}; do
        failures[$name]=$((${failures[$name]:-0} + 1))
    done
done

for name in $(printf '%s\n' "${!failures[@]}" | sort); do
    echo "failed: $name in ${failures[$name]} of $runs runs"
done
echo "e2e-repeat: $runs runs, $failed_runs with a failure, ${#failures[@]} tests failed at least once; logs in $logs"
[ "$failed_runs" -eq 0 ]
