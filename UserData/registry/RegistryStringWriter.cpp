// Writes a text value for the host; a recorded profile folder inside it is
// stored as %USERPROFILE%, so the value follows the user's profile.
#include <cwchar>
#include <string>

#include "../include/UserData.h"
#include "EnvironmentReferences.h"
#include "RegistryFunctions.h"
#include "UniqueHkey.h"

namespace {

// The type the value has now: REG_SZ when it does not exist. Hosts often
// open keys for writing only, so a denied query is asked again through a
// second handle opened for reading.
DWORD TypeToKeep(HKEY key, const wchar_t* valueName) {
    DWORD type = REG_NONE;
    DWORD bytes = 0;
    LSTATUS status = userdata::RegistryQueryValue(key, valueName, nullptr, &type, nullptr, &bytes);
    if (status == ERROR_ACCESS_DENIED) {
        userdata::UniqueHkey reader;
        if (userdata::RegistryOpenKey(key, nullptr, 0, KEY_QUERY_VALUE, reader.put()) == ERROR_SUCCESS)
            status = userdata::RegistryQueryValue(reader.get(), valueName, nullptr, &type, nullptr, &bytes);
    }
    // When the present type cannot be learned, the text is stored as a plain
    // string: every character survives and nothing is expanded on reading.
    return status == ERROR_SUCCESS ? type : REG_SZ;
}

}  // namespace

unsigned int tvudRegSetString(HKEY key, const wchar_t* valueName, const wchar_t* text) {
    if (text == nullptr) return ERROR_INVALID_PARAMETER;
    const DWORD keptType = TypeToKeep(key, valueName);

    std::wstring withReferences = text;
    const bool substituted = userdata::SubstituteEnvironmentVariables(withReferences) > 0;
    const wchar_t* data = substituted ? withReferences.c_str() : text;
    const DWORD type = substituted ? REG_EXPAND_SZ : keptType;
    const auto bytes = static_cast<DWORD>((std::wcslen(data) + 1) * sizeof(wchar_t));
    return userdata::RegistrySetValue(key, valueName, 0, type, reinterpret_cast<const BYTE*>(data), bytes);
}
