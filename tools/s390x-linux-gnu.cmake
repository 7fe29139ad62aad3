# IBM Z (s390x), big-endian. Debian serves no s390x libraries that install
# beside the build machine's (their -dev packages need a libc6-dev of
# another version), so everything links against the cross toolchain's own
# C and C++ libraries in /usr/s390x-linux-gnu, which qemu loads from there.
# Without ncursesw only the engine, the list, the line-mode program and
# their tests build (-DQUILLBAY_TERMINAL=OFF).
set(CROSS_TRIPLET s390x-linux-gnu)
set(CMAKE_SYSTEM_PROCESSOR s390x)
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-s390x -L /usr/${CROSS_TRIPLET})
include(${CMAKE_CURRENT_LIST_DIR}/cross-common.cmake)
