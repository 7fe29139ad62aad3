#!/usr/bin/env bash
# The instructions each scanning path executes, under qemu-user, for the
# processors tools/cross-check.sh builds (its build-arm64/, build-armhf/ and
# build-s390x/ must exist): the only fair comparison of paths on a
# processor this machine merely emulates, where times say nothing.
# Usage: bench/qemu-counts.sh [lines]   (default 200000, about 13 MB)
# Prints, for each processor and path, the instructions a byte of the
# text from quillbay-make-text, measured on one thread; a run on an empty
# file is subtracted, so that starting the program does not count.
set -euo pipefail
cd "$(dirname "$0")/.."

LINES=${1:-200000}
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

g++ -std=c++20 -O2 -shared -fPIC -o "$WORK/libcount.so" bench/QemuInstructionCount.cpp
if [ ! -x build/bin/quillbay-make-text ]; then
  cmake --preset default >/dev/null
  cmake --build --preset default --target quillbay-make-text >/dev/null
fi
build/bin/quillbay-make-text "$WORK/text.txt" "$LINES" >/dev/null
: >"$WORK/empty.txt"
bytes=$(stat -c %s "$WORK/text.txt")
echo "text: $LINES lines, $bytes bytes"

# Instructions of one run of quillbay-measure under the emulator, on a file.
count() {
  "${emulator[@]}" -plugin "$WORK/libcount.so" -d plugin "$measure" --threads=1 --path="$path" "$1" 2>&1 >/dev/null |
    sed -n 's/^instructions: //p'
}

for arch in arm64 armhf s390x; do
  case $arch in
    arm64) emulator=(qemu-aarch64) ;;
    armhf) emulator=(qemu-arm) ;;
    s390x) emulator=(qemu-s390x -L /usr/s390x-linux-gnu) ;;
  esac
  measure=build-$arch/bin/quillbay-measure
  if [ ! -x "$measure" ]; then
    echo "$arch: no $measure (run tools/cross-check.sh first)"
    continue
  fi
  for path in words portable neon; do
    if ! "${emulator[@]}" "$measure" --threads=1 --path=$path "$WORK/empty.txt" >/dev/null 2>&1; then
      continue  # not on this processor
    fi
    base=$(count "$WORK/empty.txt")
    total=$(count "$WORK/text.txt")
    awk -v a="$arch" -v p="$path" -v t="$total" -v b="$base" -v n="$bytes" \
      'BEGIN { printf "%-6s %-9s %12d instructions, %.3f a byte\n", a, p, t - b, (t - b) / n }'
  done
done
