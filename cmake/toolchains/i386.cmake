# Debian's i386 (32-bit, little-endian): cmake -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/i386.cmake
set(calc_triplet i686-linux-gnu)
set(calc_processor i686)
set(calc_qemu qemu-i386)
# qemu-user (7.2) hangs the forked child of a dynamically linked i386
# program, before it can exit or exec; statically linked, the same child
# runs. Test programs that fork (death tests, the terminal test) are
# therefore linked statically here; the calculator and spillgrid never fork
# and stay as they ship.
set(CALC_STATIC_TESTS ON)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
