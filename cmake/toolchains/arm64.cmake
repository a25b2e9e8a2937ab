# Debian's arm64 (64-bit, little-endian): cmake -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/arm64.cmake
set(calc_triplet aarch64-linux-gnu)
set(calc_processor aarch64)
set(calc_qemu qemu-aarch64)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
