# Run by cpack once the files to package are staged, before it archives them
# (CPACK_PRE_BUILD_SCRIPTS). The directories above the installed files
# (usr/, usr/share/ ...) are made with the builder's umask; in the package
# every directory is mode 755, whatever that umask was.
file(GLOB_RECURSE staged LIST_DIRECTORIES true "${CPACK_TEMPORARY_DIRECTORY}/*")
foreach(path IN LISTS staged)
  if(IS_DIRECTORY "${path}" AND NOT IS_SYMLINK "${path}")
    file(CHMOD "${path}" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
                                     GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  endif()
endforeach()
