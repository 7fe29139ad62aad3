# 64-bit ARM (arm64), with its libraries from multiarch.
set(CROSS_TRIPLET aarch64-linux-gnu)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
# ctest runs the test binaries (and gtest_discover_tests lists them) here.
# They load the multiarch C and C++ libraries through the loader in /lib:
# qemu's -L /usr/<triplet> would pair the cross toolchain's dynamic loader
# with the multiarch C library, whose versions differ, and then creating a
# thread hangs.
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64)
include(${CMAKE_CURRENT_LIST_DIR}/cross-common.cmake)
