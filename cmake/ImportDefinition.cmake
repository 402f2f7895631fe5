# Writes OUTPUT, the module-definition file of UserData.dll, from the export
# list LIST (UserData/UserData.exports): every name the DLL exports, so that
# the import library made from it names exactly the DLL's own exports.
file(STRINGS "${LIST}" lines REGEX "^[^#]")
set(definition "LIBRARY UserData.dll\nEXPORTS\n")
foreach(line IN LISTS lines)
  string(REGEX REPLACE "\t.*" "" name "${line}")
  string(APPEND definition "  ${name}\n")
endforeach()
file(WRITE "${OUTPUT}.new" "${definition}")
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.new")
