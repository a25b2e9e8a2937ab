# Debian's hardening, as dpkg-buildflags gives it with hardening=+all, in
# every optimised build: a user who builds from source gets the same binary
# protections as the package. Fortification needs optimisation, so debug
# builds go without.
include(CheckPIESupported)
check_pie_supported(LANGUAGES CXX)
set(CMAKE_POSITION_INDEPENDENT_CODE ON)

set(calc_optimised "$<CONFIG:Release,RelWithDebInfo,MinSizeRel>")
add_compile_options(
  "$<${calc_optimised}:-D_FORTIFY_SOURCE=2;-fstack-protector-strong;-Wformat;-Werror=format-security>"
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
