# `cmake --install` lays down a package that find_package(UserData CONFIG)
# understands: bin/ (the DLLs and tools), include/, lib/ (the import libraries,
# libUserData.dll.a for MinGW-w64 and UserData.lib for lld-link or link.exe,
# and the CMake package files).
include(CMakePackageConfigHelpers)
include(GNUInstallDirs)

set(USERDATA_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/UserData)

install(TARGETS UserData EXPORT UserDataTargets
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT Runtime
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Runtime)
install(TARGETS TvPal udinfo vtmigrator RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT Runtime)
get_target_property(_import_library UserDataImportLibrary IMPORT_LIBRARY_FILE)
install(FILES ${_import_library} DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Runtime)
install(FILES UserData/include/UserData.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT Runtime)
# The JSON Schemas of udinfo's two documents, for the tools that read them.
install(FILES tools/udinfo/schemas/udinfo-report.schema.json tools/udinfo/schemas/udinfo-doctor.schema.json
        DESTINATION ${CMAKE_INSTALL_DATADIR}/UserData COMPONENT Runtime)

install(EXPORT UserDataTargets NAMESPACE UserData:: DESTINATION ${USERDATA_CMAKE_DIR} COMPONENT Runtime)
configure_package_config_file(cmake/UserDataConfig.cmake.in
  ${CMAKE_BINARY_DIR}/UserDataConfig.cmake INSTALL_DESTINATION ${USERDATA_CMAKE_DIR}
  PATH_VARS CMAKE_INSTALL_LIBDIR)
write_basic_package_version_file(${CMAKE_BINARY_DIR}/UserDataConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/UserDataConfig.cmake ${CMAKE_BINARY_DIR}/UserDataConfigVersion.cmake
  DESTINATION ${USERDATA_CMAKE_DIR} COMPONENT Runtime)

# --- Shipped binaries without their debug sections -------------------------
# The runtime component gets each program and DLL stripped of its debug
# sections and symbols, linked back (.gnu_debuglink) to "<name>.debug"; the debug
# component holds those files, to be unpacked beside the binaries. The
# 4096-byte file alignment is kept: Wine maps such sections straight from the
# file, where it copies any other at every load.
find_program(USERDATA_OBJCOPY NAMES ${CMAKE_OBJCOPY} x86_64-w64-mingw32-objcopy REQUIRED)
set(_shipped UserData TvPal udinfo vtmigrator)
foreach(_target IN LISTS _shipped)
  set(_name $<TARGET_FILE_NAME:${_target}>)
  set(_built $<TARGET_FILE:${_target}>)
  # The DLLs keep their debug sections beside them already (userdata_shipped_dll in
  # common/CMakeLists.txt); the programs still hold theirs.
  set(_debug_source "$<IF:$<STREQUAL:$<TARGET_PROPERTY:${_target},TYPE>,SHARED_LIBRARY>,${_built}.debug,${_built}>")
  # Stripped, then signed if the packaging asked for it (Authenticode.cmake).
  install(CODE "
    set(_debug \"\${CMAKE_CURRENT_BINARY_DIR}/${_name}.debug\")
    set(_file \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${_name}\")
    execute_process(COMMAND ${USERDATA_OBJCOPY} --only-keep-debug \"${_debug_source}\" \"\${_debug}\"
                    COMMAND_ERROR_IS_FATAL ANY)
    execute_process(COMMAND ${USERDATA_OBJCOPY} --strip-all --file-alignment 4096 --remove-section=.gnu_debuglink
                            \"--add-gnu-debuglink=\${_debug}\" \"\${_file}\" COMMAND_ERROR_IS_FATAL ANY)
    file(REMOVE \"\${_debug}\")
    include(\"${PROJECT_SOURCE_DIR}/cmake/Authenticode.cmake\")" COMPONENT Runtime)
  install(CODE "
    file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    execute_process(COMMAND ${USERDATA_OBJCOPY} --only-keep-debug \"${_debug_source}\"
                            \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${_name}.debug\"
                    COMMAND_ERROR_IS_FATAL ANY)" COMPONENT Debug)
endforeach()

# --- Release archives ----------------------------------------------------
# cpack writes UserData-<version>-win64.zip (bin/, include/, lib/) and
# UserData-<version>-win64-debug.zip (the debug files, for bin/).
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME UserData)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL Runtime Debug)
set(CPACK_ARCHIVE_RUNTIME_FILE_NAME UserData-${PROJECT_VERSION}-win64)
set(CPACK_ARCHIVE_DEBUG_FILE_NAME UserData-${PROJECT_VERSION}-win64-debug)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
include(CPack)
