# The Debian package of both programs: cmake --workflow --preset deb.
set(CPACK_PACKAGE_NAME "calculator-tools")
set(CPACK_PACKAGE_CONTACT "Calculator tools maintainers <maintainers@example.org>")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION "utils")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
# The package is for the architecture the compiler targets, as Debian names
# it: amd64 natively, s390x, i386, arm64 or armhf from a cross toolchain.
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -dumpmachine OUTPUT_VARIABLE calc_target_triplet
                OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
find_program(DPKG_ARCHITECTURE_PROGRAM dpkg-architecture)
if(DPKG_ARCHITECTURE_PROGRAM AND calc_target_triplet)
  execute_process(COMMAND ${DPKG_ARCHITECTURE_PROGRAM} -t ${calc_target_triplet} -qDEB_HOST_ARCH
                  OUTPUT_VARIABLE calc_deb_arch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
endif()
if(calc_deb_arch)
  set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${calc_deb_arch})
elseif(CMAKE_CROSSCOMPILING)
  message(WARNING "dpkg-architecture cannot name the target '${calc_target_triplet}': "
                  "a package would be labelled with this machine's architecture")
endif()
# Depends come from dpkg-shlibdeps, run on the staged programs by
# deb/Depends.cmake, which also reads a cross build's libraries: from the
# folder where the cross compiler finds the target's C library.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)
if(CMAKE_CROSSCOMPILING)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libc.so.6
                  OUTPUT_VARIABLE calc_target_libc OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  get_filename_component(calc_target_libc "${calc_target_libc}" REALPATH)
  get_filename_component(CPACK_CALC_CROSS_LIBRARY_DIR "${calc_target_libc}" DIRECTORY)
endif()
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
# The extended description; the synopsis above is its first line.
set(CPACK_PACKAGE_DESCRIPTION "calculator reads statements from standard input (a = 2 * 3; b <<= 4;
dump; clear;) and evaluates them in signed 32-bit arithmetic over 26
variables. It never prints a wrapped value: a statement whose checked
result leaves the 32-bit range prints overflow, and one that divides by
zero prints dividebyzero. It answers line by line at a terminal and
works as a fast filter over piped input.
.
spillgrid takes one integer and prints 64 rows showing how its left shifts
spill out of 32 bits, with the same overflow verdict as the calculator.")
# Directories in the package are owned by root and mode 755, as dpkg expects.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
                                                GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# Reproducible packages: every time stamp in the archive is the last
# commit's, or a fixed one outside a git checkout, and no file mode depends
# on the builder's umask (the scripts in deb/).
set(calc_source_date_epoch 1796688000)  # 2026-12-08
find_package(Git QUIET)
if(Git_FOUND)
  execute_process(COMMAND ${GIT_EXECUTABLE} log -1 --format=%ct
                  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                  OUTPUT_VARIABLE calc_commit_time OUTPUT_STRIP_TRAILING_WHITESPACE
                  RESULT_VARIABLE calc_git_result ERROR_QUIET)
  if(calc_git_result EQUAL 0 AND calc_commit_time MATCHES "^[0-9]+$")
    set(calc_source_date_epoch ${calc_commit_time})
  endif()
endif()
# CPack reads SOURCE_DATE_EPOCH from its own environment when it runs, which
# this file (included by cpack) sets.
configure_file(${CMAKE_CURRENT_LIST_DIR}/CPackProjectConfig.cmake.in
               ${PROJECT_BINARY_DIR}/CPackProjectConfig.cmake @ONLY)
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_BINARY_DIR}/CPackProjectConfig.cmake)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/deb/StagedDirectoryModes.cmake
                             ${CMAKE_CURRENT_LIST_DIR}/deb/Depends.cmake)
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/deb/ArMemberModes.cmake)
include(CPack)
