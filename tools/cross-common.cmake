# What the cross toolchain files share; each sets CROSS_TRIPLET,
# CMAKE_SYSTEM_PROCESSOR and CMAKE_CROSSCOMPILING_EMULATOR, then includes
# this. The compilers are Debian's crossbuild-essential-<arch>; the tests run
# under qemu-user. Used by tools/cross-check.sh.
set(CMAKE_SYSTEM_NAME Linux)

set(CMAKE_C_COMPILER ${CROSS_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${CROSS_TRIPLET}-g++)

# Debian's multiarch keeps a foreign processor's libraries beside the build
# machine's, in /usr/lib/<triplet>, and the headers in /usr/include for both.
set(CMAKE_LIBRARY_ARCHITECTURE ${CROSS_TRIPLET})

# pkg-config must see the target's .pc files, not the build machine's.
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/${CROSS_TRIPLET}/pkgconfig:/usr/share/pkgconfig)
set(ENV{PKG_CONFIG_PATH} "")
