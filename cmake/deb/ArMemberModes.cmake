# Run by cpack after it writes a package (CPACK_POST_BUILD_SCRIPTS). CPack
# copies the file mode of each member it puts in a .deb's ar archive
# (debian-binary, control.tar.*, data.tar.*) from the temporary file it
# wrote, so the builder's umask would change the package's bytes. Every
# member header gets the mode a umask of 022 gives, 100644.
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  if(NOT package MATCHES "\\.deb$")
    continue()
  endif()
  file(SIZE ${package} size)
  set(header 8)  # after the "!<arch>\n" magic
  while(header LESS size)
    # A member header is 60 bytes of text: name 16, time 12, owner 6, group
    # 6, mode 8, size 10, then "`\n".
    file(READ ${package} fields OFFSET ${header} LIMIT 60)
    string(SUBSTRING "${fields}" 48 10 member_size)
    string(STRIP "${member_size}" member_size)
    if(NOT member_size MATCHES "^[0-9]+$")
      message(FATAL_ERROR "${package}: no ar member header at byte ${header}")
    endif()
    math(EXPR mode_field "${header} + 40")
    execute_process(
      COMMAND sh -c "printf '100644  ' | dd of=\"$1\" bs=1 seek=\"$2\" conv=notrunc status=none"
              sh ${package} ${mode_field}
      RESULT_VARIABLE failed)
    if(failed)
      message(FATAL_ERROR "${package}: cannot set the mode of the member at byte ${header}")
    endif()
    # Members start on even offsets.
    math(EXPR header "${header} + 60 + ${member_size} + ${member_size} % 2")
  endwhile()
endforeach()
