# Gives a DLL target a VERSIONINFO resource built from the project version.
function(userdata_version_info target description)
  set(USERDATA_RC_NAME ${target})
  set(USERDATA_RC_FILE ${target}.dll)
  set(USERDATA_RC_DESCRIPTION "${description}")
  set(_rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/version.rc.in ${_rc} @ONLY)
  target_sources(${target} PRIVATE ${_rc})
endfunction()
