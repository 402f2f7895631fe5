# Toolchain file for a host built in MSVC mode (cmake/MsvcMode.cmake): what a
# product built with the Microsoft toolchain sees of UserData, reproduced with
# Debian's packages. Programs are linked by lld-link with Wine's C runtime and
# start-up code, and run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
include(${CMAKE_CURRENT_LIST_DIR}/MsvcMode.cmake)

set(CMAKE_CXX_COMPILER ${USERDATA_CLANG})
set(CMAKE_CXX_COMPILER_TARGET ${USERDATA_MSVC_TARGET})
# CMake's Windows platform for clang also enables the resource compiler.
find_program(USERDATA_LLVM_RC NAMES llvm-rc-16 llvm-rc REQUIRED)
set(CMAKE_RC_COMPILER ${USERDATA_LLVM_RC})
list(JOIN USERDATA_MSVC_COMPILE_FLAGS " " CMAKE_CXX_FLAGS_INIT)
# The runtime library CMake names in each object (msvcrt.lib) is Microsoft's;
# Wine's stands in for it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-fuse-ld=lld -nostdlib -Wl,/nodefaultlib -Wl,/entry:mainCRTStartup")
list(JOIN USERDATA_MSVC_SYSTEM_LIBRARIES " " CMAKE_CXX_STANDARD_LIBRARIES)
