# Reads the export list (UserData/UserData.exports) into two parallel lists:
# <prefix>_NAMES, each name as UserData.dll exports it, and
# <prefix>_DECLARATIONS, the declaration in UserData.h it stands for.
function(userdata_read_export_list file prefix)
  file(STRINGS "${file}" lines REGEX "^[^#]")
  set(names "")
  set(declarations "")
  foreach(line IN LISTS lines)
    if(NOT line MATCHES "^([^\t]+)\t([^\t]+)$")
      message(FATAL_ERROR "${file}: not a name and a declaration: '${line}'")
    endif()
    list(APPEND names "${CMAKE_MATCH_1}")
    list(APPEND declarations "${CMAKE_MATCH_2}")
  endforeach()
  set(${prefix}_NAMES "${names}" PARENT_SCOPE)
  set(${prefix}_DECLARATIONS "${declarations}" PARENT_SCOPE)
endfunction()
