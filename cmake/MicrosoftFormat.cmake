# Libraries and programs in the Microsoft format, for hosts not built with
# MinGW-w64 GCC. Debian's LLVM 16 makes them (llvm-dlltool, clang in MSVC
# mode, lld-link); Wine's development files (libwine-dev) stand in for the
# Windows SDK headers and the C runtime's import libraries.
find_program(USERDATA_LLVM_DLLTOOL NAMES llvm-dlltool-16 llvm-dlltool REQUIRED)
find_program(USERDATA_CLANG NAMES clang-16 clang REQUIRED)
find_program(USERDATA_LLD_LINK NAMES lld-link-16 lld-link REQUIRED)
set(WINE_INCLUDE_DIR /usr/include/wine/wine CACHE PATH
    "Wine's Windows and C runtime headers (Debian's libwine-dev)")
set(WINE_PE_LIBRARY_DIR /usr/lib/x86_64-linux-gnu/wine/x86_64-windows CACHE PATH
    "Wine's x86-64 Windows import libraries and startup code (Debian's libwine-dev)")
execute_process(COMMAND ${USERDATA_CLANG} -print-resource-dir
                OUTPUT_VARIABLE _clang_resource_dir OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)

# How a translation unit is compiled in MSVC mode. Only Wine's headers and
# clang's own are searched: nothing of the Linux system or of MinGW-w64.
# Wine's winnt.h defines _InterlockedCompareExchange128, which clang has as a
# builtin; renaming Wine's keeps both. WINE_UNICODE_NATIVE makes WCHAR the
# wchar_t it is in the Windows SDK, and in UserData.h.
set(USERDATA_MSVC_COMPILE
  ${USERDATA_CLANG} --target=x86_64-pc-windows-msvc -std=c++17 -O1 -Wall -Wextra -Werror
  -nostdinc -isystem ${WINE_INCLUDE_DIR}/msvcrt -isystem ${WINE_INCLUDE_DIR}/windows
  -isystem ${_clang_resource_dir}/include
  -D_InterlockedCompareExchange128=WineInterlockedCompareExchange128 -DWINE_UNICODE_NATIVE
  -DUNICODE -D_UNICODE)

# userdata_msvc_program(<name> SOURCE <file> LIBRARIES <files...> DEPENDS <targets...>)
# Builds bin/<name>.exe from one source in MSVC mode and links it with
# lld-link against the given import libraries and Wine's C runtime.
function(userdata_msvc_program name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "SOURCE" "INCLUDES;LIBRARIES;DEPENDS")
  set(object ${CMAKE_CURRENT_BINARY_DIR}/${name}.msvc.obj)
  set(program ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/${name}.exe)
  list(TRANSFORM arg_INCLUDES PREPEND -I)
  add_custom_command(OUTPUT ${object}
    COMMAND ${USERDATA_MSVC_COMPILE} ${arg_INCLUDES} -MD -MF ${object}.d -c ${arg_SOURCE} -o ${object}
    DEPFILE ${object}.d
    DEPENDS ${arg_SOURCE}
    COMMENT "Compiling ${name} in MSVC mode" VERBATIM)
  add_custom_command(OUTPUT ${program}
    COMMAND ${USERDATA_LLD_LINK} /nologo /out:${program} /subsystem:console /entry:mainCRTStartup
            /nodefaultlib ${object} ${arg_LIBRARIES} ${WINE_PE_LIBRARY_DIR}/libwinecrt0.a
            ${WINE_PE_LIBRARY_DIR}/libucrtbase.a ${WINE_PE_LIBRARY_DIR}/libkernel32.a
    DEPENDS ${object} ${arg_LIBRARIES} ${arg_DEPENDS}
    COMMENT "Linking ${name} with lld-link" VERBATIM)
  add_custom_target(${name} ALL DEPENDS ${program})
endfunction()
