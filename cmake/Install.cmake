# `cmake --install` lays down a package that find_package(UserData CONFIG)
# understands: bin/ (the DLLs and tools), include/, lib/ (import library and
# the CMake package files).
include(CMakePackageConfigHelpers)
include(GNUInstallDirs)

set(USERDATA_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/UserData)

install(TARGETS UserData EXPORT UserDataTargets
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(TARGETS TvPal udinfo vtmigrator RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES UserData/include/UserData.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})

install(EXPORT UserDataTargets NAMESPACE UserData:: DESTINATION ${USERDATA_CMAKE_DIR})
configure_package_config_file(cmake/UserDataConfig.cmake.in
  ${CMAKE_BINARY_DIR}/UserDataConfig.cmake INSTALL_DESTINATION ${USERDATA_CMAKE_DIR})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/UserDataConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/UserDataConfig.cmake ${CMAKE_BINARY_DIR}/UserDataConfigVersion.cmake
  DESTINATION ${USERDATA_CMAKE_DIR})
