# 32-bit ARM (armhf: ARMv7 with hardware floating point), with its libraries
# from multiarch, run as tools/aarch64-linux-gnu.cmake says.
set(CROSS_TRIPLET arm-linux-gnueabihf)
set(CMAKE_SYSTEM_PROCESSOR arm)
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-arm)
include(${CMAKE_CURRENT_LIST_DIR}/cross-common.cmake)
# GCC notes on every std::vector iterator passed by value that GCC 7.1
# changed how such arguments pass; everything here is built by one compiler.
set(CMAKE_CXX_FLAGS_INIT -Wno-psabi)
