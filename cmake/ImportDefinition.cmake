# Writes OUTPUT, the module-definition file of UserData.dll, from the export
# list LIST (UserData/UserData.exports): every name the DLL exports, so that
# the import library made from it names exactly the DLL's own exports.
#
# A host built in MSVC mode refers to a C++ export by its MSVC decoration, not
# by the GNU one the DLL exports. For each decorated export whose types both
# ABIs lay out alike, the file also gives its MSVC name as an alias:
#   ?InstallUserData@@YAIXZ == _Z15InstallUserDatav
# The MSVC names are clang's own: a probe that takes the address of each
# declaration, as UserData.h declares it (found in INCLUDE), is compiled with
# COMPILE (clang in MSVC mode) to LLVM IR, and each probe returns its
# function's mangled name. A signature that changes in the header without
# the list fails the probe's compilation. The std::wstring overload has no
# alias: the two C++ runtimes lay out strings differently.
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/ExportList.cmake)
userdata_read_export_list("${LIST}" exports)
set(probe "#include <UserData.h>\n")
set(bridged "")
foreach(export IN ZIP_LISTS exports_NAMES exports_DECLARATIONS)
  set(name "${export_0}")
  set(declaration "${export_1}")
  if(name MATCHES "^_Z" AND NOT declaration MATCHES "std::")
    if(NOT declaration MATCHES "^(.*[^A-Za-z0-9_])([A-Za-z_][A-Za-z0-9_]*)\\((.*)\\)$")
      message(FATAL_ERROR "${LIST}: cannot read the declaration '${declaration}'")
    endif()
    string(APPEND probe "extern \"C\" const void* msvc_name_of_${name}() {\n"
                        "  return reinterpret_cast<const void*>(static_cast<${CMAKE_MATCH_1}(*)(${CMAKE_MATCH_3})>(&${CMAKE_MATCH_2}));\n}\n")
    list(APPEND bridged ${name})
  endif()
endforeach()
file(WRITE "${OUTPUT}.probe.cpp" "${probe}")
execute_process(COMMAND ${COMPILE} -I${INCLUDE} -S -emit-llvm -o - "${OUTPUT}.probe.cpp"
                OUTPUT_VARIABLE ir COMMAND_ERROR_IS_FATAL ANY)

set(definition "LIBRARY UserData.dll\nEXPORTS\n")
foreach(name IN LISTS exports_NAMES)
  string(APPEND definition "  ${name}\n")
  if(name IN_LIST bridged)
    if(NOT ir MATCHES "@msvc_name_of_${name}\\(\\)[^{]*{[^}]*ret ptr @\"([^\"]+)\"")
      message(FATAL_ERROR "clang gave no MSVC name for ${name}:\n${ir}")
    endif()
    string(APPEND definition "  ${CMAKE_MATCH_1} == ${name}\n")
  endif()
endforeach()
file(WRITE "${OUTPUT}.new" "${definition}")
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.new")
