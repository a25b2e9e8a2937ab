# Shared by the toolchain files beside it: a cross build with Debian's cross
# compilers (g++-<triplet>), whose programs run under qemu-user with the
# target's libraries from /usr/<triplet>. Each file sets calc_triplet,
# calc_processor and calc_qemu, then includes this one.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR ${calc_processor})
set(CMAKE_C_COMPILER ${calc_triplet}-gcc)  # for GoogleTest, built from source
set(CMAKE_CXX_COMPILER ${calc_triplet}-g++)

# The emulator runs every test program, without relying on the kernel's
# binfmt registration. The target's loader and libraries all come from the
# cross toolchain's folder: where the target's C library is also installed
# through multiarch (to build Debian packages for it), the loader would
# otherwise find that one first, of another build, and the two do not mix
# (on s390x every program then stops at once, "stack smashing detected").
find_program(calc_qemu_program ${calc_qemu})
if(NOT calc_qemu_program)
  message(FATAL_ERROR "${calc_qemu} not found: install qemu-user")
endif()
set(CMAKE_CROSSCOMPILING_EMULATOR
    ${calc_qemu_program};-L;/usr/${calc_triplet};-E;LD_LIBRARY_PATH=/usr/${calc_triplet}/lib)

set(CMAKE_FIND_ROOT_PATH /usr/${calc_triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
