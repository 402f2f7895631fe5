# Writes OUTPUT, the Markdown page of every export, from the export list
# LIST (UserData/UserData.exports), the list the export test checks.
# With CHECK set, writes nothing and fails unless OUTPUT already holds
# exactly that page.
file(STRINGS "${LIST}" lines REGEX "^[^#]")
set(page "# UserData.dll exports\n\nGenerated from `UserData/UserData.exports` by\n`cmake/ExportsPage.cmake`; the test `docs.exports` fails when this page and the\nlist differ, and `exports` when the DLL and the list differ.\n\n")
string(APPEND page "Names without `_Z` are plain C functions: any compiler's code can call them\nthrough an import library. Names with `_Z` carry the GNU C++ decoration of\nMinGW-w64 GCC: a host links them by name only when it is built with the same\ntoolchain, and the `std::wstring` overload of `tvudGetSpecialFolder` also\nneeds the same C++ runtime.\n\n| Exported name | Declaration in UserData.h |\n|---|---|\n")
foreach(line IN LISTS lines)
  string(REPLACE "\t" ";" fields "${line}")
  list(GET fields 0 name)
  list(GET fields 1 declaration)
  string(APPEND page "| `${name}` | `${declaration}` |\n")
endforeach()
if(CHECK)
  file(READ "${OUTPUT}" current)
  if(NOT current STREQUAL page)
    message(FATAL_ERROR "${OUTPUT} differs from ${LIST}: regenerate it with\n"
                        "cmake -DLIST=${LIST} -DOUTPUT=${OUTPUT} -P ${CMAKE_CURRENT_LIST_FILE}")
  endif()
else()
  file(WRITE "${OUTPUT}" "${page}")
endif()
