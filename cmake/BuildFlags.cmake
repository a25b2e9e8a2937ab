# What a build's flags are: the packager's, then the project's own where
# the packager chose none.
#
# An optimised build is one whose flags optimise (the last -O in
# CMAKE_CXX_FLAGS and the build type's flags is not -O0), whatever its build
# type, except Debug: Release, RelWithDebInfo, MinSizeRel, and the None a
# distribution's tools configure with CXXFLAGS="-g -O2 ...". Every optimised
# build gets
#   - link-time optimisation, which compiles the scanner into the parse
#     engine (without it the engine calls the scanner once per token);
#   - Debian's hardening as dpkg-buildflags gives it with hardening=+all:
#     fortified functions, a strong stack protector, full RELRO, immediate
#     binding, PIE;
#   - file-prefix maps at compile and link time (with link-time
#     optimisation the debug information is written when linking), so that
#     no folder's path lands in the binaries.
# Debug builds go without: fortification needs optimisation, and the
# sanitizer and fuzz builds want neither.
#
# A packager's flags win. CMake takes CXXFLAGS and LDFLAGS from the
# environment when a build folder is first configured, and this file takes
# CPPFLAGS then too (CALC_CPPFLAGS). The project's stack protector goes in
# front of the packager's flags, so that a packager's own choice comes later
# on the command line and wins; its fortification level is left out where
# the packager chose one, since a macro defined twice differently warns.
include(CheckPIESupported)
check_pie_supported(LANGUAGES CXX)
set(CMAKE_POSITION_INDEPENDENT_CODE ON)

set(CALC_CPPFLAGS "$ENV{CPPFLAGS}" CACHE STRING "Preprocessor flags (from CPPFLAGS at the first configure)")
# Like CXXFLAGS, CPPFLAGS are read once; a later configure that sees others
# says it keeps the first, rather than building with flags nobody asked for.
if(DEFINED ENV{CPPFLAGS} AND NOT "$ENV{CPPFLAGS}" STREQUAL CALC_CPPFLAGS)
  message(WARNING "CPPFLAGS in the environment (\"$ENV{CPPFLAGS}\") differ from those this build "
                  "folder was first configured with (\"${CALC_CPPFLAGS}\"), which it keeps. Configure "
                  "a new build folder, or pass -DCALC_CPPFLAGS=\"...\" to change them.")
endif()
# debhelper appends CPPFLAGS to CXXFLAGS itself; what is there already is
# not added twice.
separate_arguments(calc_cppflags UNIX_COMMAND "${CALC_CPPFLAGS}")
separate_arguments(calc_cxxflags UNIX_COMMAND "${CMAKE_CXX_FLAGS}")
foreach(flag IN LISTS calc_cppflags)
  if(NOT flag IN_LIST calc_cxxflags)
    add_compile_options(${flag})
  endif()
endforeach()

string(TOUPPER "${CMAKE_BUILD_TYPE}" calc_build_type)
set(calc_packager_flags "${CALC_CPPFLAGS} ${CMAKE_CXX_FLAGS} ${CMAKE_CXX_FLAGS_${calc_build_type}}")
string(REGEX MATCHALL "(^| )-O[^ ]*" calc_levels "${calc_packager_flags}")
list(POP_BACK calc_levels calc_level)
if(NOT calc_build_type STREQUAL "DEBUG" AND calc_level AND NOT calc_level MATCHES "-O0$")
  set(CALC_OPTIMISED ON)
else()
  set(CALC_OPTIMISED OFF)
endif()
message(STATUS "Optimised build (link-time optimisation, hardening): ${CALC_OPTIMISED}")

if(CALC_OPTIMISED)
  string(PREPEND CMAKE_CXX_FLAGS "-fstack-protector-strong ")
  add_compile_options(-Wformat -Werror=format-security)
  if(NOT calc_packager_flags MATCHES "_FORTIFY_SOURCE")
    add_compile_options(-D_FORTIFY_SOURCE=2)
  endif()
  set(calc_prefix_maps -ffile-prefix-map=${PROJECT_SOURCE_DIR}=. -ffile-prefix-map=${PROJECT_BINARY_DIR}=build)
  add_compile_options(${calc_prefix_maps})
  add_link_options(${calc_prefix_maps} LINKER:-z,relro LINKER:-z,now)

  # On by default in a top-level build; -DCMAKE_INTERPROCEDURAL_OPTIMIZATION=OFF
  # turns it off.
  if(PROJECT_IS_TOP_LEVEL AND NOT DEFINED CMAKE_INTERPROCEDURAL_OPTIMIZATION)
    include(CheckIPOSupported)
    check_ipo_supported(RESULT calc_ipo_supported OUTPUT calc_ipo_message LANGUAGES CXX)
    if(calc_ipo_supported)
      set(CMAKE_INTERPROCEDURAL_OPTIMIZATION ON)
    else()
      message(STATUS "Link-time optimisation not available: ${calc_ipo_message}")
    endif()
  endif()
endif()

# What is not shipped (the table builder, the tests) links without link-time
# optimisation, which would otherwise redo the engine's optimisation at every
# test program's link. With g++ the library that the tests share with the
# programs carries both its link-time and its plain object code; other
# compilers' link-time objects need a link-time link, so there the tests
# keep it.
function(calc_link_without_lto)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    set_target_properties(${ARGN} PROPERTIES INTERPROCEDURAL_OPTIMIZATION OFF)
  endif()
endfunction()
function(calc_objects_for_any_link target)
  if(CMAKE_INTERPROCEDURAL_OPTIMIZATION AND CALC_BUILD_TESTS AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(${target} PRIVATE -ffat-lto-objects)
  endif()
endfunction()
