# Run by cpack once the files to package are staged (CPACK_PRE_BUILD_SCRIPTS):
# the package's Depends, as dpkg-shlibdeps reads them from the staged
# programs. On a cross build it is told the target architecture and where
# the cross toolchain keeps the target's libraries. That toolchain ships
# them as packages named <package>-<arch>-cross, whose dependency lines name
# <package>:<arch>; on the target both are plain <package>, and so they are
# written.
set(arch ${CPACK_DEBIAN_PACKAGE_ARCHITECTURE})
file(GLOB_RECURSE staged LIST_DIRECTORIES false "${CPACK_TEMPORARY_DIRECTORY}/*")
set(programs)
foreach(path IN LISTS staged)
  file(READ "${path}" magic LIMIT 4 HEX)
  if(magic STREQUAL "7f454c46")  # ELF
    list(APPEND programs "${path}")
  endif()
endforeach()
if(NOT programs)
  message(FATAL_ERROR "no programs among the staged files in ${CPACK_TEMPORARY_DIRECTORY}")
endif()

# dpkg-shlibdeps wants a source package's debian/control; it runs beside the
# staged tree, not in it, so that nothing of this lands in the package.
set(work "${CPACK_TEMPORARY_DIRECTORY}-shlibdeps")
file(REMOVE_RECURSE "${work}")
file(WRITE "${work}/debian/control" "")
set(search)
if(CPACK_CALC_CROSS_LIBRARY_DIR)
  set(search "-l${CPACK_CALC_CROSS_LIBRARY_DIR}")
endif()
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env DEB_HOST_ARCH=${arch} dpkg-shlibdeps ${search} -O ${programs}
  WORKING_DIRECTORY "${work}"
  OUTPUT_VARIABLE found
  ERROR_VARIABLE complaints
  RESULT_VARIABLE failed
  OUTPUT_STRIP_TRAILING_WHITESPACE)
file(REMOVE_RECURSE "${work}")
if(failed OR NOT found MATCHES "^shlibs:Depends=")
  message(FATAL_ERROR "dpkg-shlibdeps cannot name the libraries of ${programs}:\n${complaints}")
endif()
string(REGEX REPLACE "^shlibs:Depends=" "" depends "${found}")
string(REPLACE "-${arch}-cross" "" depends "${depends}")
string(REPLACE ":${arch}" "" depends "${depends}")
set(CPACK_DEBIAN_PACKAGE_DEPENDS "${depends}")
