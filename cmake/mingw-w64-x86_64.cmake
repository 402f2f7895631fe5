# Cross build for Windows x86-64 with Debian's MinGW-w64 (GCC 12).
#
# One thread model for every binary: win32 (x86_64-w64-mingw32-g++-win32).
# Hosts load and free UserData.dll and TvPal.dll any number of times, and the
# posix model's runtime (winpthreads) would keep a TLS index, handles and
# blocks of its own for every load that nothing gives back. The win32 model
# has no such runtime: what its C++ runtime still keeps at unload, the DLLs
# hand back through the runtime's own clean-up (EntryPoint.cpp). The tools,
# the benchmark and the tests are built the same way, so that the tests link
# and examine the very objects that go into the DLLs.
#
# GCC 12's win32 model has no std::mutex, which GoogleTest needs. The tests
# use doctest (Debian's doctest-dev) with DOCTEST_CONFIG_NO_MULTITHREADING
# instead of Catch2 2.x, which also builds here: its suites are GoogleTest's
# test suites one for one, so the tests kept their names and the fresh-process
# suite is a suite filter; its implementation file compiles in 8.5 s against
# Catch2's 29 s, and a test file in 0.6 s against 1.3 s; and its StringMaker
# for std::wstring is ours to write (Catch2's narrows every character past
# U+00FF to '?'). No test asserts from a thread of its own, which is all that
# the single-threaded configuration gives up.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER   ${_triple}-gcc-win32)
set(CMAKE_CXX_COMPILER ${_triple}-g++-win32)
set(CMAKE_RC_COMPILER  ${_triple}-windres)

set(MINGW_SYSROOT /usr/${_triple} CACHE PATH
    "Root of the MinGW-w64 target's headers and libraries (Debian's mingw-w64 packages)")
# try_compile projects read this file again: hand them the value in use.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES MINGW_SYSROOT)
set(CMAKE_FIND_ROOT_PATH ${MINGW_SYSROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# No runtime DLL ships beside the binaries: libstdc++ and libgcc are linked
# into each of them.
set(CMAKE_EXE_LINKER_FLAGS_INIT    "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")
