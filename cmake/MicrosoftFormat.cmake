# llvm-dlltool makes UserData.lib, the import library in the Microsoft format;
# clang in MSVC mode (cmake/MsvcMode.cmake) gives the MSVC names it answers.
find_program(USERDATA_LLVM_DLLTOOL NAMES llvm-dlltool-16 llvm-dlltool REQUIRED)
include(${CMAKE_CURRENT_LIST_DIR}/MsvcMode.cmake)
set(USERDATA_MSVC_COMPILE ${USERDATA_CLANG} --target=${USERDATA_MSVC_TARGET} -std=c++17 ${USERDATA_MSVC_COMPILE_FLAGS})
