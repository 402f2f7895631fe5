# Cross build for Windows x86-64 with Debian's MinGW-w64 (GCC 12, posix threads).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER   ${_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_triple}-g++-posix)
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

# No runtime DLL ships beside the binaries: libstdc++, libgcc and
# winpthread are linked into each of them.
set(CMAKE_EXE_LINKER_FLAGS_INIT    "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")
