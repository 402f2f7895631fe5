# How code is built in MSVC mode here: Debian's clang-16 targeting
# x86_64-pc-windows-msvc, linked by lld-link-16, with Wine's development files
# (libwine-dev) standing in for the Windows SDK headers and the C runtime.
# Read by cmake/MicrosoftFormat.cmake, which derives the MSVC names of the
# exports, and by cmake/clang-msvc-x86_64.cmake, the toolchain file of hosts.
find_program(USERDATA_CLANG NAMES clang-16 clang REQUIRED)
set(WINE_INCLUDE_DIR /usr/include/wine/wine CACHE PATH
    "Wine's Windows and C runtime headers (Debian's libwine-dev)")
set(WINE_PE_LIBRARY_DIR /usr/lib/x86_64-linux-gnu/wine/x86_64-windows CACHE PATH
    "Wine's x86-64 Windows import libraries and start-up code (Debian's libwine-dev)")
execute_process(COMMAND ${USERDATA_CLANG} -print-resource-dir
                OUTPUT_VARIABLE _clang_resource_dir OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)

# Only Wine's headers and clang's own are searched: nothing of the Linux
# system or of MinGW-w64. Wine's winnt.h defines _InterlockedCompareExchange128,
# which clang has as a builtin; renaming Wine's keeps both. WINE_UNICODE_NATIVE
# makes WCHAR the wchar_t it is in the Windows SDK, and in UserData.h.
set(USERDATA_MSVC_TARGET x86_64-pc-windows-msvc)
set(USERDATA_MSVC_COMPILE_FLAGS
  -nostdinc -isystem ${WINE_INCLUDE_DIR}/msvcrt -isystem ${WINE_INCLUDE_DIR}/windows
  -isystem ${_clang_resource_dir}/include
  -D_InterlockedCompareExchange128=WineInterlockedCompareExchange128 -DWINE_UNICODE_NATIVE)
# Wine's start-up code, its C runtime and the system libraries a host needs.
# Wine's start-up code runs no static initialisers, as the MSVC runtime's would.
set(USERDATA_MSVC_SYSTEM_LIBRARIES
  ${WINE_PE_LIBRARY_DIR}/libwinecrt0.a ${WINE_PE_LIBRARY_DIR}/libucrtbase.a
  ${WINE_PE_LIBRARY_DIR}/libkernel32.a ${WINE_PE_LIBRARY_DIR}/libadvapi32.a)
