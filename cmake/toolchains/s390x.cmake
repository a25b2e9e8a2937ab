# Debian's s390x (64-bit, big-endian): cmake -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/s390x.cmake
set(calc_triplet s390x-linux-gnu)
set(calc_processor s390x)
set(calc_qemu qemu-s390x)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
