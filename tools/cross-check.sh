#!/usr/bin/env bash
# Builds the project for 64-bit ARM (arm64, AArch64) with Debian's cross
# toolchain and runs its unit tests there under qemu-user: the measuring
# property tests on every scanning path the processor has (portable and
# NEON) on one thread and on two, the rest of the unit and soak tests, and
# the print-line fuzz target's comparison of the paths over its seeds.
# Usage: tools/cross-check.sh [cmake options...]   (CI adds -DQUILLBAY_WERROR=ON)
#
# Not run under emulation: the end-to-end scripts. They drive the programs
# in tmux and through pipes against real seconds (a tick a second, replies
# within deadlines), which an emulator several times slower than the
# processor cannot keep; and they start the programs by path, which needs
# the kernel's binfmt_misc handler for arm64, not to be had in a container.
# Nor the benchmarks: Google Benchmark has no arm64 package here, and times
# under an emulator say nothing of an ARM processor.
set -euo pipefail
cd "$(dirname "$0")/.."

BUILD=build-arm64
TRIPLET=aarch64-linux-gnu
PACKAGES=(cmake make pkg-config file crossbuild-essential-arm64 qemu-user libstdc++6:arm64 libncurses-dev:arm64 libgtest-dev:arm64)
JOBS=$(nproc 2>/dev/null || echo 2)
started=$SECONDS

# The arm64 libraries come through multiarch, beside the build machine's;
# tools/ensure-packages.sh installs nothing that would remove a package.
ensure_arm64_packages()
{
    if ! dpkg --print-foreign-architectures | grep -qx arm64; then
        if [ "$(id -u)" -ne 0 ]; then
            echo "The arm64 architecture is not enabled. Run this as root, then try again:" >&2
            echo "  dpkg --add-architecture arm64 && apt-get update && apt-get install -y ${PACKAGES[*]}" >&2
            exit 1
        fi
        dpkg --add-architecture arm64
    fi
    bash tools/ensure-packages.sh "${PACKAGES[@]}"
}

ensure_arm64_packages

echo "=== configuring $BUILD/ for $TRIPLET"
cmake -S . -B "$BUILD" -DCMAKE_TOOLCHAIN_FILE=tools/$TRIPLET.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DBUILD_TESTING=ON -DQUILLBAY_FUZZ_REPLAY=ON "$@" >/dev/null
echo "=== building every program, the unit and soak tests and the print-line fuzz target"
cmake --build "$BUILD" -j "$JOBS"

emulate() { qemu-aarch64 "$@"; }  # as the toolchain file says, without -L
echo "=== what runs"
file "$BUILD/bin/quillbay" "$BUILD/bin/quillbay-unit-tests" | sed "s|^$BUILD/bin/||"
printf '#include <stdio.h>\n#include <sys/utsname.h>\nint main(void) { struct utsname u; uname(&u); puts(u.machine); return 0; }\n' |
    $TRIPLET-gcc -x c - -o "$BUILD/uname-m"
echo "uname -m under qemu: $(emulate "$BUILD/uname-m")"
emulate "$BUILD/bin/quillbay-line" --version

# ctest runs each test binary through qemu (the toolchain file names it as
# the emulator). The measuring property tests take every path available
# here, on one thread and on two.
echo "=== unit and soak tests under qemu-aarch64"
ctest --test-dir "$BUILD" -L unit -j "$JOBS" --output-on-failure --timeout 1800
echo "=== the print-line fuzz target's comparison of the paths, over its seeds"
ctest --test-dir "$BUILD" -L fuzz-replay --output-on-failure --timeout 1800

echo "=== cross-check passed on arm64 in $((SECONDS - started)) s"
