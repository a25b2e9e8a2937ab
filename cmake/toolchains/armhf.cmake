# Debian's armhf (32-bit, little-endian): cmake -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/armhf.cmake
set(calc_triplet arm-linux-gnueabihf)
set(calc_processor arm)
set(calc_qemu qemu-arm)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
