#!/usr/bin/env bash
# Admission's measuring against `wc -l` on the same 800 MB print file, on
# one thread and on two, all timed the same way in the same run, in turns,
# with the file in the page cache.
# Usage: bench/compare.sh [build-bin-dir]
# The last line is the ratio of the best wall times of two threads and of
# `wc -l` (the line before it, of one thread and of `wc -l`; the one before
# that, of one thread on the portable path, which processors without a
# path of their own take, and of `wc -l`). Before them, each scanning path
# of this processor on one thread, medians of as many interleaved runs,
# against SSE2 where it is there.
# The file is made in /tmp (QUILLBAY_BENCH_TEXT overrides) and removed at
# the end unless it was there before.
set -euo pipefail
cd "$(dirname "$0")/.."

BIN=${1:-build/bin}
TEXT=${QUILLBAY_BENCH_TEXT:-/tmp/quillbay-bench-text.txt}
LINES=12000000  # the generator's default
RUNS=11         # timed runs of each command; the best counts

if [ ! -x "$BIN/quillbay-measure" ] || [ ! -x "$BIN/quillbay-make-text" ] || [ ! -x "$BIN/quillbay-bench" ]; then
  echo "building the benchmark tools (needs libbenchmark-dev)"
  cmake --preset default >/dev/null
  cmake --build --preset default -j "$(nproc)" --target quillbay-bench quillbay-make-text quillbay-measure >/dev/null
fi

made_text=0
if [ ! -f "$TEXT" ] || [ "$(wc -l <"$TEXT")" -ne "$LINES" ]; then
  echo "making $TEXT ($LINES lines)"
  "$BIN/quillbay-make-text" --force "$TEXT" "$LINES"
  made_text=1
fi
cleanup() { if [ "$made_text" = 1 ]; then rm -f "$TEXT"; fi; }
trap cleanup EXIT

# Wall seconds of one run of a command, its output discarded.
seconds() {
  local start=$EPOCHREALTIME
  "$@" >/dev/null
  local end=$EPOCHREALTIME
  awk -v s="$start" -v e="$end" 'BEGIN { printf "%.4f\n", e - s }'
}
smaller() { awk -v a="$1" -v b="$2" 'BEGIN { print (a < b ? a : b) }'; }

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(awk '/MemTotal/ { printf "%.0f GiB", $2 / 1048576 }' /proc/meminfo)"
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "file: $TEXT, $(stat -c %s "$TEXT") bytes, $(wc -l <"$TEXT") lines"

# The counts must agree with the print-line rule before any time counts:
# every scanning path, on one thread and on two.
plain_start=$EPOCHREALTIME
plain=$("$BIN/quillbay-measure" --plain "$TEXT")
plain_seconds=$(awk -v s="$plain_start" -v e="$EPOCHREALTIME" 'BEGIN { printf "%.4f", e - s }')
echo "print lines:   $plain (${plain_seconds} s)"
paths=()
for path in avx2 sse2 neon portable words; do
  for threads in 1 2; do
    if ! block=$("$BIN/quillbay-measure" --threads=$threads --path=$path "$TEXT" 2>/dev/null); then
      echo "$path: not on this processor"
      continue 2
    fi
    if [ "$block" != "$plain" ]; then
      echo "the block scanner ($path, $threads threads) disagrees with the print-line rule: $block" >&2
      exit 1
    fi
  done
  echo "$path, 1 and 2 threads: the same"
  paths+=("$path")
done

echo "--- Google Benchmark: 8, 80 and 800 MB (this file), bytes per second"
"$BIN/quillbay-bench" --text="$TEXT" --benchmark_filter=Measure --benchmark_min_time=1

echo "--- wall time, best of $RUNS, turns taken in alternation"
cat "$TEXT" >/dev/null  # into the page cache
best_wc=999 best_portable=999 best_one=999 best_two=999
for _ in $(seq "$RUNS"); do
  best_wc=$(smaller "$best_wc" "$(seconds wc -l "$TEXT")")
  best_portable=$(smaller "$best_portable" "$(seconds "$BIN/quillbay-measure" --threads=1 --path=portable "$TEXT")")
  best_one=$(smaller "$best_one" "$(seconds "$BIN/quillbay-measure" --threads=1 "$TEXT")")
  best_two=$(smaller "$best_two" "$(seconds "$BIN/quillbay-measure" --threads=2 "$TEXT")")
done
echo "wc -l:                          $best_wc s"
echo "quillbay-measure, portable:     $best_portable s"
echo "quillbay-measure, one thread:   $best_one s"
echo "quillbay-measure, two threads:  $best_two s"

echo "--- one thread by path, wall time, median of $RUNS, turns taken in alternation"
declare -A times
for _ in $(seq "$RUNS"); do
  for path in "${paths[@]}"; do
    times[$path]+="$(seconds "$BIN/quillbay-measure" --threads=1 --path="$path" "$TEXT") "
  done
done
median() { tr ' ' '\n' | sed '/^$/d' | sort -n | awk '{ t[NR] = $1 } END { print t[int((NR + 1) / 2)] }'; }
reference=${paths[0]}
[[ " ${paths[*]} " == *" sse2 "* ]] && reference=sse2
reference_median=$(median <<<"${times[$reference]}")
for path in "${paths[@]}"; do
  awk -v p="$path" -v m="$(median <<<"${times[$path]}")" -v r="$reference_median" -v n="$reference" \
    'BEGIN { printf "%-9s %.4f s, %.2f times %s\n", p, m, m / r, n }'
done
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
awk -v m="$best_portable" -v w="$best_wc" 'BEGIN { printf "ratio, portable path, one thread: %.2f\n", m / w }'
awk -v m="$best_one" -v w="$best_wc" 'BEGIN { printf "ratio, one thread: %.2f\n", m / w }'
awk -v m="$best_two" -v w="$best_wc" 'BEGIN { printf "ratio: %.2f\n", m / w }'
