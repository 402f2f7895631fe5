# Writes OUTPUT, the Markdown page of every export, from the export list
# LIST (UserData/UserData.exports), the list the export test checks, and
# DEF, the build's UserData.def, for the name an MSVC-mode host links.
# With CHECK set, writes nothing and fails unless OUTPUT already holds
# exactly that page.
include(${CMAKE_CURRENT_LIST_DIR}/ExportList.cmake)
userdata_read_export_list("${LIST}" exports)
# "  <MSVC name> == <exported name>" lines of the .def.
file(STRINGS "${DEF}" aliases REGEX " == ")
foreach(alias IN LISTS aliases)
  string(REGEX MATCH "^ *([^ ]+) == ([^ ]+)$" alias "${alias}")
  set(msvc_name_of_${CMAKE_MATCH_2} "${CMAKE_MATCH_1}")
endforeach()
set(page "# UserData.dll exports\n\nGenerated from `UserData/UserData.exports` and the build's `UserData.def` by\n`cmake/ExportsPage.cmake`; the test `docs.exports` fails when this page and the\nlist differ, and `exports` when the DLL and the list differ.\n\n")
string(APPEND page "Names without `_Z` are plain C functions: any compiler's code can call them\nthrough an import library. Names with `_Z` carry the GNU C++ decoration of\nMinGW-w64 GCC: a host built with the same toolchain links them through\n`libUserData.dll.a`. A host built in MSVC mode links `UserData.lib`, which\nanswers the MSVC name in the third column for the export in the first. The\n`std::wstring` overload of `tvudGetSpecialFolder` has no MSVC name: it needs\nthe GNU C++ runtime.\n\n| Exported name | Declaration in UserData.h | Name in UserData.lib for MSVC hosts |\n|---|---|---|\n")
foreach(export IN ZIP_LISTS exports_NAMES exports_DECLARATIONS)
  # A bare name is its own MSVC name; a decorated one has its alias, or none.
  if(NOT export_0 MATCHES "^_Z")
    set(msvc_name "`${export_0}`")
  elseif(DEFINED msvc_name_of_${export_0})
    set(msvc_name "`${msvc_name_of_${export_0}}`")
  else()
    set(msvc_name "(none)")
  endif()
  string(APPEND page "| `${export_0}` | `${export_1}` | ${msvc_name} |\n")
endforeach()
if(CHECK)
  file(READ "${OUTPUT}" current)
  if(NOT current STREQUAL page)
    message(FATAL_ERROR "${OUTPUT} differs from ${LIST} and ${DEF}: regenerate it with\n"
                        "cmake -DLIST=${LIST} -DDEF=${DEF} -DOUTPUT=${OUTPUT} -P ${CMAKE_CURRENT_LIST_FILE}")
  endif()
else()
  file(WRITE "${OUTPUT}" "${page}")
endif()
