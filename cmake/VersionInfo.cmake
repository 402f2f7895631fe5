# Gives a DLL target a VERSIONINFO resource built from the project version.
# With BUILD_IDENTITY, the string table also names the build of the library's
# sources (cmake/BuildIdentity.cmake): the value is the header's macro, or,
# for a test's copy of another build, any quoted text.
function(userdata_version_info target description)
  cmake_parse_arguments(V "" "BUILD_IDENTITY" "" ${ARGN})
  set(USERDATA_RC_NAME ${target})
  set(USERDATA_RC_FILE ${target}.dll)
  set(USERDATA_RC_DESCRIPTION "${description}")
  set(USERDATA_RC_INCLUDE "")
  set(USERDATA_RC_IDENTITY "")
  if(V_BUILD_IDENTITY)
    set(USERDATA_RC_INCLUDE "#include \"UserDataBuildIdentity.h\"")
    set(USERDATA_RC_IDENTITY "VALUE \"BuildIdentity\",    ${V_BUILD_IDENTITY}")
  endif()
  set(_rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/version.rc.in ${_rc} @ONLY)
  target_sources(${target} PRIVATE ${_rc})
  if(V_BUILD_IDENTITY)
    set_source_files_properties(${_rc} TARGET_DIRECTORY ${target} PROPERTIES OBJECT_DEPENDS ${USERDATA_BUILD_IDENTITY_HEADER})
    target_include_directories(${target} PRIVATE ${USERDATA_GENERATED_INCLUDE})
    add_dependencies(${target} UserDataBuildIdentity)
  endif()
endfunction()

# The build identity's header, made at build time and again whenever a
# library source changes.
set(USERDATA_GENERATED_INCLUDE ${CMAKE_BINARY_DIR}/generated)
set(USERDATA_BUILD_IDENTITY_HEADER ${USERDATA_GENERATED_INCLUDE}/UserDataBuildIdentity.h)
file(GLOB_RECURSE _identity_sources CONFIGURE_DEPENDS
     ${PROJECT_SOURCE_DIR}/UserData/* ${PROJECT_SOURCE_DIR}/common/*)
add_custom_command(OUTPUT ${USERDATA_BUILD_IDENTITY_HEADER}
  COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${PROJECT_SOURCE_DIR} -DVERSION=${PROJECT_VERSION}
          -DOUTPUT=${USERDATA_BUILD_IDENTITY_HEADER} -P ${PROJECT_SOURCE_DIR}/cmake/BuildIdentity.cmake
  DEPENDS ${_identity_sources} ${PROJECT_SOURCE_DIR}/cmake/BuildIdentity.cmake
  COMMENT "Naming the library's build" VERBATIM)
add_custom_target(UserDataBuildIdentity DEPENDS ${USERDATA_BUILD_IDENTITY_HEADER})
