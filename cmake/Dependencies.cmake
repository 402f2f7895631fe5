# Third-party code, built from Debian's own sources with this toolchain.

# Debian's Python 3: a step of the DLLs' link (common/CMakeLists.txt) and
# the JSON Schema tests.
set(USERDATA_PYTHON /usr/bin/python3 CACHE FILEPATH "Debian's Python 3")

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
add_library(boost_filesystem STATIC ${_boost_fs_sources})
target_include_directories(boost_filesystem SYSTEM PUBLIC "${BOOST_DIR}/include")
target_compile_definitions(boost_filesystem
  PUBLIC  BOOST_ALL_NO_LIB BOOST_FILESYSTEM_STATIC_LINK=1
  PRIVATE BOOST_FILESYSTEM_SOURCE BOOST_FILESYSTEM_NO_CXX20_ATOMIC_REF)
target_link_libraries(boost_filesystem PUBLIC bcrypt advapi32)
add_library(Boost::filesystem ALIAS boost_filesystem)

# A header-only library of Debian's, reached through a link named `name` to
# its own folder, never through the rest of /usr/include, so that sources
# include <name/header>; a link left by an earlier folder is replaced.
function(userdata_header_only target folder name)
  set(_root "${CMAKE_BINARY_DIR}/_deps/${target}/include")
  set(_link "${_root}/${name}")
  if(IS_SYMLINK "${_link}")
    file(READ_SYMLINK "${_link}" _linked)
    if(NOT _linked STREQUAL folder)
      file(REMOVE "${_link}")
    endif()
  endif()
  if(NOT IS_SYMLINK "${_link}")
    file(MAKE_DIRECTORY "${_root}")
    file(CREATE_LINK "${folder}" "${_link}" SYMBOLIC)
  endif()
  add_library(${target} INTERFACE)
  target_include_directories(${target} SYSTEM INTERFACE "${_root}")
endfunction()

# --- doctest, for the tests (the toolchain file says why this framework) --
if(USERDATA_BUILD_TESTS)
  set(DOCTEST_DIR /usr/include/doctest CACHE PATH
      "doctest's header folder, the one holding doctest.h (Debian's doctest-dev)")
  if(NOT EXISTS "${DOCTEST_DIR}/doctest.h")
    message(FATAL_ERROR "doctest not found in '${DOCTEST_DIR}'; run tools/setup.sh first")
  endif()
  userdata_header_only(doctest "${DOCTEST_DIR}" doctest)
  # GCC 12's win32 thread model has no std::mutex.
  target_compile_definitions(doctest INTERFACE DOCTEST_CONFIG_NO_MULTITHREADING)
endif()

# --- nlohmann-json: only its own folder, never the rest of /usr/include --
set(NLOHMANN_JSON_DIR /usr/include/nlohmann CACHE PATH
    "nlohmann-json's header folder, the one holding json.hpp (Debian's nlohmann-json3-dev)")
if(NOT EXISTS "${NLOHMANN_JSON_DIR}/json.hpp")
  message(FATAL_ERROR "nlohmann-json not found in '${NLOHMANN_JSON_DIR}'; run tools/setup.sh first")
endif()
userdata_header_only(nlohmann_json "${NLOHMANN_JSON_DIR}" nlohmann)
