# Run by CPack on the staged files: drops the compiler's .comment section
# from the game binary, as Debian's own strip step does.
file(GLOB_RECURSE staged_binaries "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/lib/games/vollix/vollix")
foreach(binary IN LISTS staged_binaries)
  execute_process(COMMAND strip --remove-section=.comment "${binary}"
    RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "strip failed on ${binary}")
  endif()
endforeach()
