# Cross build for Windows x86-64 with Debian's MinGW-w64 (GCC 12).
#
# Thread models. MinGW-w64 ships GCC in two builds that differ in how the C++
# runtime linked into each binary makes threads and their once-only state:
#   - win32 (x86_64-w64-mingw32-g++-win32), the compilers named below, and so
#     the model of every binary unless it asks for the other: UserData.dll,
#     TvPal.dll, udinfo, vtmigrator, udbench and the hosts that load and free
#     the DLLs. Hosts load and free the DLLs any number of times, and the
#     posix model's runtime (winpthreads) keeps a TLS index, handles and
#     blocks of its own for every load that nothing gives back. The win32
#     model has no such runtime: what its C++ runtime still keeps at unload,
#     the DLLs hand back through the runtime's own clean-up (EntryPoint.cpp).
#   - posix (x86_64-w64-mingw32-g++-posix), for the GoogleTest programs in
#     tests/ only: GoogleTest needs std::mutex and std::condition_variable,
#     which GCC 12's win32 model lacks. These programs are never unloaded.
#     tests/CMakeLists.txt hands them USERDATA_POSIX_THREADS as their
#     compiler and linker launcher, with their own posix-model builds of
#     Boost.Filesystem and the library's internals, so that no binary mixes
#     objects of both models.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER   ${_triple}-gcc-win32)
set(CMAKE_CXX_COMPILER ${_triple}-g++-win32)
set(CMAKE_RC_COMPILER  ${_triple}-windres)
set(USERDATA_POSIX_THREADS ${CMAKE_CURRENT_LIST_DIR}/posix-threads.sh)

set(MINGW_SYSROOT /usr/${_triple} CACHE PATH
    "Root of the MinGW-w64 target's headers and libraries (Debian's mingw-w64 packages)")
# try_compile projects read this file again: hand them the value in use.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES MINGW_SYSROOT)
set(CMAKE_FIND_ROOT_PATH ${MINGW_SYSROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# No runtime DLL ships beside the binaries: libstdc++ and libgcc (and, in the
# posix-model test programs, winpthread) are linked into each of them.
set(CMAKE_EXE_LINKER_FLAGS_INIT    "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")
