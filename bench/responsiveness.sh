#!/usr/bin/env bash
# How the real program feels: quillbay in a private tmux server at 80x25.
#   - CPU use while idle over 60 s (and of quillbay-line waiting on input);
#   - the interval between engine steps (its alarm calls, seen by perf or strace),
#     idle, while keys are typed, while command lines are typed and while a
#     12 GB sparse print file is measured (then abandoned with Esc);
#   - resident memory and open descriptors after start and after 1,000 jobs.
# Usage: bench/responsiveness.sh [build-bin-dir]    (takes about 6 minutes)
# Short runs for trying the script: IDLE_SECONDS=5 TRACE_SECONDS=5 JOBS=50.
set -euo pipefail
cd "$(dirname "$0")/.."

BIN=$(cd "${1:-build/bin}" && pwd)
IDLE_SECONDS=${IDLE_SECONDS:-60}
TRACE_SECONDS=${TRACE_SECONDS:-30}
JOBS=${JOBS:-1000}
KEY_PAUSE=0.05   # one key every 50 ms
GROUP_JOBS=5     # print commands between two "Printer Cancel All"
PRINTED_EVERY=10 # groups of which one waits for a job to print

for tool in tmux strace awk; do  # perf (linux-perf) is used when present
  if ! command -v "$tool" >/dev/null; then
    echo "$tool is needed: apt-get install -y $tool" >&2
    exit 1
  fi
done
[ -x "$BIN/quillbay" ] || { echo "no $BIN/quillbay: build first (make test)" >&2; exit 1; }

WORK=$(mktemp -d /tmp/quillbay-responsiveness-XXXXXX)
SOCKET=$WORK/tmux.sock
PIDS=()
cleanup() {
  for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
  tmux -S "$SOCKET" kill-server 2>/dev/null || true
  rm -rf "$WORK"
}
trap cleanup EXIT
tmx() { tmux -S "$SOCKET" "$@"; }

# ---------------------------------------------------------------- helpers

CLOCK_TICKS=$(getconf CLK_TCK)
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }        # utime + stime
cpu_ns() { cat /proc/"$1"/task/*/schedstat | awk '{ n += $1 } END { print n }'; }  # ns on a CPU, all threads
rss_kib() { awk '/^VmRSS:/ { print $2 }' "/proc/$1/status"; }
open_fds() { find "/proc/$1/fd" -mindepth 1 | wc -l; }

# CPU share of one core over IDLE_SECONDS, from utime+stime and, finer,
# from the scheduler's own count.
idle_cpu() {
  local pid=$1 ticks0 ns0 ticks1 ns1
  ticks0=$(cpu_ticks "$pid"); ns0=$(cpu_ns "$pid")
  sleep "$IDLE_SECONDS"
  ticks1=$(cpu_ticks "$pid"); ns1=$(cpu_ns "$pid")
  awk -v t=$((ticks1 - ticks0)) -v n=$((ns1 - ns0)) -v hz="$CLOCK_TICKS" -v s="$IDLE_SECONDS" \
    'BEGIN { printf "%.3f%% of one core (utime+stime %d ticks of 1/%d s; scheduler %.1f ms) over %d s\n",
             100 * t / hz / s, t, hz, n / 1e6, s }'
}

# The times of the program's alarm calls while tracing, one a line. perf
# reads a tracepoint and leaves the program alone; strace, the fallback,
# stops it at every system call, which adds to the figures under load.
if [ "$(perf list 'syscalls:sys_enter_alarm' 2>/dev/null | grep -c sys_enter_alarm)" -gt 0 ]; then
  TRACER=perf
  start_tracing() { perf record -q -e syscalls:sys_enter_alarm -o "$WORK/alarm.data" -p "$PID" 2>/dev/null & }
  alarm_times() { perf script -i "$WORK/alarm.data" -F time 2>/dev/null | awk '{ printf "%.6f\n", $1 }'; }
else
  TRACER=strace
  start_tracing() { strace -f -ttt -e trace=alarm -o "$WORK/alarm.log" -p "$PID" 2>/dev/null & }
  alarm_times() { awk '/alarm\(/ { printf "%.6f\n", $2 }' "$WORK/alarm.log"; }
fi

# The intervals between the program's alarm calls while `$@` runs in the
# background for TRACE_SECONDS: count, median, maximum.
tick_intervals() {
  local driver=""
  rm -f "$WORK/alarm.data" "$WORK/alarm.log"
  start_tracing
  local tracer=$!
  sleep 1
  if [ $# -gt 0 ]; then "$@" & driver=$!; fi
  sleep "$TRACE_SECONDS"
  [ -n "$driver" ] && { kill "$driver" 2>/dev/null || true; wait "$driver" 2>/dev/null || true; }
  kill -INT "$tracer"; wait "$tracer" 2>/dev/null || true
  alarm_times | awk '{ if (NR > 1) print $1 - last; last = $1 }' | sort -n |
    awk '{ v[NR] = $1 } END {
           if (NR == 0) { print "no engine steps seen"; exit }
           m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
           printf "%d intervals, median %.4f s, maximum %.4f s\n", NR, m, v[NR] }'
}

type_keys() {
  while :; do tmx send-keys -t qb -l x; sleep "$KEY_PAUSE"; done
}

# A short command line typed key by key, then Enter, over and over.
type_lines() {
  local line="admin Show User List" i
  while :; do
    for ((i = 0; i < ${#line}; i++)); do
      tmx send-keys -t qb -l "${line:i:1}"; sleep "$KEY_PAUSE"
    done
    tmx send-keys -t qb Enter; sleep "$KEY_PAUSE"
  done
}

command_line() { tmx send-keys -t qb -l "$1"; tmx send-keys -t qb Enter; }

# Prints the sparse file and notes whether its progress showed; the Esc
# comes after the trace.
measure_sparse_file() {
  command_line "ann Print big.txt"
  sleep 2
  tmx capture-pane -p -t qb | grep -o 'Measuring the print file: *[0-9]*%' >"$WORK/progress" || true
  sleep "$TRACE_SECONDS"
}

# ---------------------------------------------------------------- run

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(awk '/MemTotal/ { printf "%.0f GiB", $2 / 1048576 }' /proc/meminfo)"
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"

printf 'hello\n' >"$WORK/f.txt"
tmx -f /dev/null new-session -d -s qb -x 80 -y 25 -c "$WORK" "exec env LANG=C.UTF-8 '$BIN/quillbay'"
sleep 3
PID=$(tmx display-message -p -t qb '#{pane_pid}')
echo "quillbay pid $PID; after start: VmRSS $(rss_kib "$PID") KiB, $(open_fds "$PID") open descriptors"

LINE_PID=""
if [ -x "$BIN/quillbay-line" ]; then
  # Standard input stays open with nothing on it.
  mkfifo "$WORK/line-input"
  sleep $((IDLE_SECONDS + 30)) >"$WORK/line-input" &
  PIDS+=("$!")
  "$BIN/quillbay-line" <"$WORK/line-input" >/dev/null &
  LINE_PID=$!
  PIDS+=("$LINE_PID")
fi

echo "--- idle CPU"
if [ -n "$LINE_PID" ]; then
  idle_cpu "$LINE_PID" >"$WORK/line-cpu" &
  line_measure=$!
fi
echo "quillbay:      $(idle_cpu "$PID")"
if [ -n "$LINE_PID" ]; then
  wait "$line_measure"
  echo "quillbay-line: $(cat "$WORK/line-cpu") (waiting on an open, empty pipe)"
else
  echo "quillbay-line: not built, skipped"
fi

echo "--- interval between engine steps, ${TRACE_SECONDS} s each (alarm calls seen by $TRACER)"
echo "idle:                 $(tick_intervals)"
echo "typing keys:          $(tick_intervals type_keys)"
tmx send-keys -t qb C-u
echo "typing command lines: $(tick_intervals type_lines)"
tmx send-keys -t qb C-u
truncate -s 12G "$WORK/big.txt"
command_line "admin Add User ann"
echo "measuring 12 GB:      $(tick_intervals measure_sparse_file)"
echo "  progress after 2 s: $(cat "$WORK/progress")"
tmx send-keys -t qb Escape
sleep 1
echo "  after Esc, prompt row: $(tmx capture-pane -p -t qb | sed -n 23p | sed 's/^[^>]*//; s/ *[│|x]* *$//')"
rm -f "$WORK/big.txt"

echo "--- memory over $JOBS jobs"
echo "before: VmRSS $(rss_kib "$PID") KiB, $(open_fds "$PID") open descriptors"
command_line "admin Refill Ink=1000000 Paper=100000"
for ((i = 0; i < 40; i++)); do  # until the printer is full
  sleep 1
  tmx capture-pane -p -t qb | grep -q 'Printer Status : Waiting' && break
done
strace -f -e trace=openat -o "$WORK/open.log" -p "$PID" 2>/dev/null &
tracer=$!
PIDS+=("$tracer")
sleep 1
for ((job = 0; job < JOBS; job += GROUP_JOBS)); do
  for ((i = 0; i < GROUP_JOBS; i++)); do command_line "ann Print f.txt"; done
  # Now and then the engine gets the ticks to start and print a job.
  if (( job / GROUP_JOBS % PRINTED_EVERY == 0 )); then sleep 3; fi
  command_line "Printer Cancel All"
  sleep 0.7  # the program takes each command with a 0.1 s pause after it
done
sleep 3
kill -INT "$tracer"; wait "$tracer" 2>/dev/null || true
echo "print files opened: $(grep -c '"f.txt"' "$WORK/open.log" || true); jobs started: $(find "$WORK/PRINT" -type f | wc -l)"
echo "error row: $(tmx capture-pane -p -t qb | sed -n 22p | sed 's/^[^E]*//; s/ *[│|x]* *$//')"
echo "after:  VmRSS $(rss_kib "$PID") KiB, $(open_fds "$PID") open descriptors"
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
