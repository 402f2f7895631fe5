option(USERDATA_WARNINGS_AS_ERRORS "Treat compiler warnings as errors" OFF)

# Applied to the project's own targets only; third-party code keeps its own flags.
function(userdata_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  if(USERDATA_WARNINGS_AS_ERRORS)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
