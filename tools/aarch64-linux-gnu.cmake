# Cross-building for 64-bit ARM Linux with Debian's cross toolchain
# (crossbuild-essential-arm64) and the arm64 libraries of multiarch; the
# tests run under qemu-user. Used by tools/cross-check.sh.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CROSS_TRIPLET aarch64-linux-gnu)

set(CMAKE_C_COMPILER ${CROSS_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${CROSS_TRIPLET}-g++)

# Debian's multiarch keeps the arm64 libraries beside the build machine's,
# in /usr/lib/aarch64-linux-gnu, and the headers in /usr/include for both.
set(CMAKE_LIBRARY_ARCHITECTURE ${CROSS_TRIPLET})

# pkg-config must see the arm64 .pc files, not the build machine's.
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/${CROSS_TRIPLET}/pkgconfig:/usr/share/pkgconfig)
set(ENV{PKG_CONFIG_PATH} "")

# ctest runs the test binaries (and gtest_discover_tests lists them) here.
# They load the multiarch C and C++ libraries through /lib/ld-linux-aarch64.so.1:
# qemu's -L /usr/aarch64-linux-gnu would pair the cross toolchain's dynamic
# loader with the multiarch C library, whose versions differ, and then
# creating a thread hangs.
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64)
