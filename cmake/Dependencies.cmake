# Third-party code, built from Debian's own sources with this toolchain.

# --- Boost.Filesystem (static) and Boost.System (header-only in 1.81) ----
set(BOOST_DIR "$ENV{BOOST_DIR}" CACHE PATH
    "Unpacked Boost sources: include/ and filesystem/src/ (made by tools/setup.sh)")
if(NOT EXISTS "${BOOST_DIR}/include/boost/filesystem.hpp")
  message(FATAL_ERROR "Boost sources not found in '${BOOST_DIR}'; run tools/setup.sh first")
endif()

file(GLOB _boost_fs_sources CONFIGURE_DEPENDS "${BOOST_DIR}/filesystem/src/*.cpp")
add_library(boost_filesystem STATIC ${_boost_fs_sources})
target_include_directories(boost_filesystem SYSTEM PUBLIC "${BOOST_DIR}/include")
target_compile_definitions(boost_filesystem
  PUBLIC  BOOST_ALL_NO_LIB BOOST_FILESYSTEM_STATIC_LINK=1
  PRIVATE BOOST_FILESYSTEM_SOURCE BOOST_FILESYSTEM_NO_CXX20_ATOMIC_REF)
target_link_libraries(boost_filesystem PUBLIC bcrypt advapi32)
add_library(Boost::filesystem ALIAS boost_filesystem)

# --- GoogleTest / GoogleMock from /usr/src/googletest --------------------
if(USERDATA_BUILD_TESTS)
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/_deps/googletest EXCLUDE_FROM_ALL)
endif()

# --- nlohmann-json: only its own folder, never the rest of /usr/include --
set(_json_root "${CMAKE_BINARY_DIR}/_deps/nlohmann-json/include")
if(NOT EXISTS "${_json_root}/nlohmann")
  file(MAKE_DIRECTORY "${_json_root}")
  file(CREATE_LINK /usr/include/nlohmann "${_json_root}/nlohmann" SYMBOLIC)
endif()
add_library(nlohmann_json INTERFACE)
target_include_directories(nlohmann_json SYSTEM INTERFACE "${_json_root}")
