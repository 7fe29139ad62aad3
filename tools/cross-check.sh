#!/usr/bin/env bash
# Builds the project for other processors with Debian's cross toolchains
# and runs its tests there under qemu-user:
#   arm64 (64-bit ARM): every program; the unit and soak tests, the
#     measuring property tests on the portable and NEON paths among them.
#   armhf (32-bit ARM, where size_t and long are 32 bits and only
#     _FILE_OFFSET_BITS=64 and _TIME_BITS=64 make file offsets and time_t
#     64-bit): the same, on the portable path.
#   s390x (IBM Z, big-endian): the engine, the list and the line-mode
#     program, and the unit tests that need no screen: the measuring
#     property tests on the portable path, the print-line rules, the list
#     and the line-mode program. Debian serves no ncursesw for s390x that
#     installs beside the build machine's libraries, so no terminal
#     program and no test that draws is built there; GoogleTest is built
#     from the sources that libgtest-dev ships.
# On each, the print-line fuzz target's comparison of the paths runs over
# its seeds.
# Usage: tools/cross-check.sh [cmake options...]   (CI adds -DQUILLBAY_WERROR=ON)
#        ARCHES="armhf s390x" tools/cross-check.sh  (some of them)
#
# Not run under emulation: the end-to-end scripts. They drive the programs
# in tmux and through pipes against real seconds (a tick a second, replies
# within deadlines), which an emulator several times slower than the
# processor cannot keep; and they start the programs by path, which needs
# the kernel's binfmt_misc handler, not to be had in a container. Nor the
# benchmarks: Google Benchmark is not built for the other processors here,
# and times under an emulator say nothing of those processors.
set -euo pipefail
cd "$(dirname "$0")/.."

ARCHES=${ARCHES:-arm64 armhf s390x}
JOBS=$(nproc 2>/dev/null || echo 2)
started=$SECONDS

# Per processor: Debian's name, the GNU triplet, whether its libraries come
# through multiarch, the packages, the cmake options.
triplet_of() {
    case $1 in
        arm64) echo aarch64-linux-gnu ;;
        armhf) echo arm-linux-gnueabihf ;;
        s390x) echo s390x-linux-gnu ;;
        *) echo "unknown processor: $1 (arm64, armhf or s390x)" >&2; exit 2 ;;
    esac
}
packages_of() {
    case $1 in
        s390x) echo crossbuild-essential-s390x ;;
        *) echo "crossbuild-essential-$1 libstdc++6:$1 libncurses-dev:$1 libgtest-dev:$1" ;;
    esac
}
options_of() {
    case $1 in
        s390x) echo -DQUILLBAY_TERMINAL=OFF -DQUILLBAY_GTEST_SOURCE=/usr/src/googletest ;;
    esac
}
is_multiarch() { [ "$1" != s390x ]; }

# The foreign libraries come through multiarch, beside the build machine's;
# tools/ensure-packages.sh installs nothing that would remove a package.
ensure_packages()
{
    local packages=(cmake make pkg-config file qemu-user libgtest-dev) arch
    for arch in $ARCHES; do
        read -r -a more <<<"$(packages_of "$arch")"
        packages+=("${more[@]}")
        if is_multiarch "$arch" && ! dpkg --print-foreign-architectures | grep -qx "$arch"; then
            if [ "$(id -u)" -ne 0 ]; then
                echo "The $arch architecture is not enabled. Run this as root, then try again:" >&2
                echo "  dpkg --add-architecture $arch" >&2
                exit 1
            fi
            dpkg --add-architecture "$arch"
        fi
    done
    bash tools/ensure-packages.sh "${packages[@]}"
}

# The emulator with its arguments, as the toolchain file names it for ctest.
emulator_of() {
    case $1 in
        arm64) echo qemu-aarch64 ;;
        armhf) echo qemu-arm ;;
        s390x) echo qemu-s390x -L /usr/s390x-linux-gnu ;;
    esac
}

# ctest would start the emulator once for each of the hundred GoogleTest
# tests, half a second each time; they run in as many shards as there are
# cores instead. ctest runs the rest labelled unit, each test binary
# through qemu, as the toolchain file says: the soak and the layering
# checks, named in lower case where GoogleTest's suites begin with a
# capital.
run_unit_tests()
{
    local build=$1 shard failed=0 pids=()
    shift
    for ((shard = 0; shard < JOBS; shard++)); do
        (cd "$build/tests" && GTEST_TOTAL_SHARDS=$JOBS GTEST_SHARD_INDEX=$shard \
            "$@" ../bin/quillbay-unit-tests --gtest_brief=1 >"../unit-shard-$shard.log" 2>&1) &
        pids+=($!)
    done
    for shard in "${!pids[@]}"; do
        wait "${pids[$shard]}" || failed=1
        sed "s/^/shard $shard: /" "$build/unit-shard-$shard.log"
    done
    ctest --test-dir "$build" -L unit -R '^[a-z]' -j "$JOBS" --output-on-failure --timeout 1800
    return $failed
}

check_arch()
{
    local arch=$1 triplet build arch_started=$SECONDS
    triplet=$(triplet_of "$arch")
    build=build-$arch
    read -r -a emulate <<<"$(emulator_of "$arch")"
    read -r -a options <<<"$(options_of "$arch")"
    shift

    echo "=== $arch: configuring $build/ for $triplet"
    # -O2 as natively, without the debug information, which takes a good
    # part of the compile time.
    cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="tools/$triplet.cmake" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_CXX_FLAGS_RELEASE=-O2 -DBUILD_TESTING=ON -DQUILLBAY_FUZZ_REPLAY=ON -DCMAKE_RULE_MESSAGES=OFF "${options[@]}" "$@" >/dev/null
    echo "=== $arch: building the programs, the unit tests and the print-line fuzz target"
    cmake --build "$build" -j "$JOBS"

    echo "=== $arch: what runs"
    file "$build/bin/quillbay-line" "$build/bin/quillbay-unit-tests" | sed "s|^$build/bin/||"
    printf '#include <stdio.h>\n#include <sys/utsname.h>\nint main(void) { struct utsname u; uname(&u); puts(u.machine); return 0; }\n' |
        "$triplet-gcc" -x c - -o "$build/uname-m"
    echo "uname -m under qemu: $("${emulate[@]}" "$build/uname-m")"
    "${emulate[@]}" "$build/bin/quillbay-line" --version

    # The measuring property tests take every path available there, on one
    # thread and on two.
    echo "=== $arch: unit tests under ${emulate[0]}"
    run_unit_tests "$build" "${emulate[@]}"
    echo "=== $arch: the print-line fuzz target's comparison of the paths, over its seeds"
    ctest --test-dir "$build" -L fuzz-replay --output-on-failure --timeout 1800
    echo "=== $arch passed in $((SECONDS - arch_started)) s"
}

ensure_packages
for arch in $ARCHES; do
    check_arch "$arch" "$@"
done
echo "=== cross-check passed on $(echo "$ARCHES" | sed 's/ /, /g') in $((SECONDS - started)) s"
