# Debian's hardening, as dpkg-buildflags gives it with hardening=+all, in
# every optimised build: a user who builds from source gets the same binary
# protections as the package. Fortification needs optimisation, so debug
# builds go without.
#
# A packager's own flags win. CMake takes CXXFLAGS and LDFLAGS from the
# environment when a build folder is first configured, but not CPPFLAGS;
# this file takes those too (CALC_CPPFLAGS). Where the packager's flags
# already choose a fortification level or a stack protector (newer Debian
# releases give -D_FORTIFY_SOURCE=3), ours stay out, so that nothing is
# defined twice; relro and immediate binding are added either way.
include(CheckPIESupported)
check_pie_supported(LANGUAGES CXX)
set(CMAKE_POSITION_INDEPENDENT_CODE ON)

set(CALC_CPPFLAGS "$ENV{CPPFLAGS}" CACHE STRING "Preprocessor flags (from CPPFLAGS at the first configure)")
separate_arguments(calc_cppflags UNIX_COMMAND "${CALC_CPPFLAGS}")
add_compile_options(${calc_cppflags})

string(TOUPPER "${CMAKE_BUILD_TYPE}" calc_build_type)
set(calc_packager_flags "${CALC_CPPFLAGS} ${CMAKE_CXX_FLAGS} ${CMAKE_CXX_FLAGS_${calc_build_type}}")
set(calc_hardening -Wformat -Werror=format-security)
if(NOT calc_packager_flags MATCHES "_FORTIFY_SOURCE")
  list(APPEND calc_hardening -D_FORTIFY_SOURCE=2)
endif()
if(NOT calc_packager_flags MATCHES "-f(no-)?stack-protector")
  list(APPEND calc_hardening -fstack-protector-strong)
endif()

set(calc_optimised "$<CONFIG:Release,RelWithDebInfo,MinSizeRel>")
add_compile_options(
  "$<${calc_optimised}:${calc_hardening}>"
  # No build folder's path in the binaries, so that any two builds agree.
  "$<${calc_optimised}:-ffile-prefix-map=${PROJECT_SOURCE_DIR}=.;-ffile-prefix-map=${PROJECT_BINARY_DIR}=build>")
add_link_options("$<${calc_optimised}:LINKER:-z,relro;LINKER:-z,now>")

# Link-time optimisation lets the scanner and the parse engine compile as one
# loop. It is on by default in a top-level optimised build;
# -DCMAKE_INTERPROCEDURAL_OPTIMIZATION=OFF turns it off. Either way it
# applies to every target alike, so that tests link the objects the program
# is made of, whatever the linker.
if(PROJECT_IS_TOP_LEVEL AND NOT DEFINED CMAKE_INTERPROCEDURAL_OPTIMIZATION
   AND CMAKE_BUILD_TYPE MATCHES "^(Release|RelWithDebInfo|MinSizeRel)$")
  include(CheckIPOSupported)
  check_ipo_supported(RESULT calc_ipo_supported OUTPUT calc_ipo_message LANGUAGES CXX)
  if(calc_ipo_supported)
    set(CMAKE_INTERPROCEDURAL_OPTIMIZATION ON)
  else()
    message(STATUS "Link-time optimisation not available: ${calc_ipo_message}")
  endif()
endif()
