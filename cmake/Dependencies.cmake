# Third-party code, built from Debian's own sources with this toolchain.

# --- Boost.Filesystem (static) and Boost.System (header-only in 1.81) ----
# Where tools/setup.sh unpacks them, unless the environment says otherwise,
# so that a preset configures without the scripts too.
set(_boost_default "$ENV{BOOST_DIR}")
if(NOT _boost_default)
  if(DEFINED ENV{USERDATA_DEPS})
    set(_boost_default "$ENV{USERDATA_DEPS}/boost-1.81")
  elseif(DEFINED ENV{XDG_CACHE_HOME})
    set(_boost_default "$ENV{XDG_CACHE_HOME}/userdata-deps/boost-1.81")
  else()
    set(_boost_default "$ENV{HOME}/.cache/userdata-deps/boost-1.81")
  endif()
endif()
set(BOOST_DIR "${_boost_default}" CACHE PATH
    "Unpacked Boost sources: include/ and filesystem/src/ (made by tools/setup.sh)")
if(NOT EXISTS "${BOOST_DIR}/include/boost/filesystem.hpp")
  message(FATAL_ERROR "Boost sources not found in '${BOOST_DIR}'; run tools/setup.sh first")
endif()

file(GLOB _boost_fs_sources CONFIGURE_DEPENDS "${BOOST_DIR}/filesystem/src/*.cpp")
# Built once for each thread model that links it (see the toolchain file):
# the model of the targets made where this is called.
function(userdata_boost_filesystem name)
  add_library(${name} STATIC ${_boost_fs_sources})
  target_include_directories(${name} SYSTEM PUBLIC "${BOOST_DIR}/include")
  target_compile_definitions(${name}
    PUBLIC  BOOST_ALL_NO_LIB BOOST_FILESYSTEM_STATIC_LINK=1
    PRIVATE BOOST_FILESYSTEM_SOURCE BOOST_FILESYSTEM_NO_CXX20_ATOMIC_REF)
  target_link_libraries(${name} PUBLIC bcrypt advapi32)
endfunction()
userdata_boost_filesystem(boost_filesystem)
add_library(Boost::filesystem ALIAS boost_filesystem)

# --- GoogleTest / GoogleMock, built from their sources ------------------
if(USERDATA_BUILD_TESTS)
  set(GOOGLETEST_DIR /usr/src/googletest CACHE PATH
      "GoogleTest and GoogleMock sources, built for the tests (Debian's googletest package)")
  if(NOT EXISTS "${GOOGLETEST_DIR}/CMakeLists.txt")
    message(FATAL_ERROR "GoogleTest sources not found in '${GOOGLETEST_DIR}'; run tools/setup.sh first")
  endif()
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  # GoogleTest needs std::mutex: the posix thread model, like the tests.
  set(CMAKE_CXX_COMPILER_LAUNCHER ${USERDATA_POSIX_THREADS})
  set(CMAKE_CXX_LINKER_LAUNCHER ${USERDATA_POSIX_THREADS})
  add_subdirectory(${GOOGLETEST_DIR} ${CMAKE_BINARY_DIR}/_deps/googletest EXCLUDE_FROM_ALL)
  unset(CMAKE_CXX_COMPILER_LAUNCHER)
  unset(CMAKE_CXX_LINKER_LAUNCHER)
endif()

# --- nlohmann-json: only its own folder, never the rest of /usr/include --
set(NLOHMANN_JSON_DIR /usr/include/nlohmann CACHE PATH
    "nlohmann-json's header folder, the one holding json.hpp (Debian's nlohmann-json3-dev)")
if(NOT EXISTS "${NLOHMANN_JSON_DIR}/json.hpp")
  message(FATAL_ERROR "nlohmann-json not found in '${NLOHMANN_JSON_DIR}'; run tools/setup.sh first")
endif()
# The folder is reached through a link named nlohmann/, so that sources
# include <nlohmann/json.hpp>; a link left by an earlier NLOHMANN_JSON_DIR
# is replaced.
set(_json_root "${CMAKE_BINARY_DIR}/_deps/nlohmann-json/include")
set(_json_link "${_json_root}/nlohmann")
if(IS_SYMLINK "${_json_link}")
  file(READ_SYMLINK "${_json_link}" _json_target)
  if(NOT _json_target STREQUAL NLOHMANN_JSON_DIR)
    file(REMOVE "${_json_link}")
  endif()
endif()
if(NOT IS_SYMLINK "${_json_link}")
  file(MAKE_DIRECTORY "${_json_root}")
  file(CREATE_LINK "${NLOHMANN_JSON_DIR}" "${_json_link}" SYMBOLIC)
endif()
add_library(nlohmann_json INTERFACE)
target_include_directories(nlohmann_json SYSTEM INTERFACE "${_json_root}")
