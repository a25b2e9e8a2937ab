# Shared by the toolchain files beside it: a cross build with Debian's cross
# compilers (g++-<triplet>), whose programs run under qemu-user with the
# target's libraries from /usr/<triplet>. Each file sets calc_triplet,
# calc_processor and calc_qemu, then includes this one.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR ${calc_processor})
set(CMAKE_C_COMPILER ${calc_triplet}-gcc)  # for GoogleTest, built from source
set(CMAKE_CXX_COMPILER ${calc_triplet}-g++)

# The emulator runs the table builder during the build and every test
# program, without relying on the kernel's binfmt registration.
find_program(calc_qemu_program ${calc_qemu})
if(NOT calc_qemu_program)
  message(FATAL_ERROR "${calc_qemu} not found: install qemu-user")
endif()
set(CMAKE_CROSSCOMPILING_EMULATOR ${calc_qemu_program};-L;/usr/${calc_triplet})

set(CMAKE_FIND_ROOT_PATH /usr/${calc_triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
