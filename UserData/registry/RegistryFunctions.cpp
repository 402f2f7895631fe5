#include "RegistryFunctions.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace userdata {

namespace {

// The character at `index` of raw registry data, which need not be aligned.
wchar_t CharacterAt(const BYTE* data, DWORD index) {
    wchar_t character;
    std::memcpy(&character, data + index * sizeof(wchar_t), sizeof character);
    return character;
}

LSTATUS CheckStringTermination(BYTE* data, DWORD bytes, DWORD capacityBytes) {
    if (bytes == 0) {
        // An empty value comes back without even a terminator; supply one so
        // the caller's buffer reads as "".
        if (capacityBytes >= sizeof(wchar_t)) std::memset(data, 0, sizeof(wchar_t));
        return ERROR_SUCCESS;
    }
    if (bytes % sizeof(wchar_t) != 0) return ERROR_INVALID_DATA;
    const DWORD chars = bytes / sizeof(wchar_t);
    return CharacterAt(data, chars - 1) == L'\0' ? ERROR_SUCCESS : ERROR_INVALID_DATA;
}

LSTATUS CheckMultiStringTermination(const BYTE* data, DWORD bytes) {
    // Even an empty list carries its final NUL, so 0 bytes is malformed.
    if (bytes < sizeof(wchar_t) || bytes % sizeof(wchar_t) != 0) return ERROR_INVALID_DATA;
    const DWORD chars = bytes / sizeof(wchar_t);
    if (CharacterAt(data, chars - 1) != L'\0') return ERROR_INVALID_DATA;
    if (chars == 1) return ERROR_SUCCESS;
    return CharacterAt(data, chars - 2) == L'\0' ? ERROR_SUCCESS : ERROR_INVALID_DATA;
}

}  // namespace

LSTATUS RegistryOpenKey(HKEY root, const wchar_t* subKey, DWORD options, REGSAM access, HKEY* result) {
    LSTATUS status = RegOpenKeyExW(root, subKey, options, access, result);
    if (status == ERROR_FILE_NOT_FOUND && root == HKEY_LOCAL_MACHINE)
        status = RegOpenKeyExW(HKEY_CURRENT_USER, subKey, options, access, result);
    // The platform does not promise what a failed open leaves behind; a null
    // lets an owner such as UniqueHkey be handed the result unconditionally.
    if (status != ERROR_SUCCESS && result != nullptr) *result = nullptr;
    return status;
}

LSTATUS RegistryCloseKey(HKEY key) { return RegCloseKey(key); }

LSTATUS RegistryDeleteKey(HKEY parent, const wchar_t* subKey, bool withSubtree) {
    return withSubtree ? RegDeleteTreeW(parent, subKey) : RegDeleteKeyW(parent, subKey);
}

LSTATUS RegistryEnumValue(HKEY key, DWORD index, wchar_t* valueName, DWORD* valueNameChars, DWORD* reserved,
                          DWORD* type, BYTE* data, DWORD* dataBytes) {
    return RegEnumValueW(key, index, valueName, valueNameChars, reserved, type, data, dataBytes);
}

LSTATUS RegistryGetValue(HKEY key, const wchar_t* valueName, DWORD* /*reserved*/, DWORD* type, void* data,
                         DWORD* dataBytes) {
    if (data == nullptr || dataBytes == nullptr)
        return RegGetValueW(key, nullptr, valueName, RRF_RT_ANY, type, data, dataBytes);
    // Wine expands REG_EXPAND_SZ data with the byte count taken as a count of
    // characters, writing up to twice as many bytes as it was given. The data
    // lands in a scratch buffer of that size, and only what the call reports
    // (never more than the caller's capacity) is handed on.
    std::vector<BYTE> scratch(static_cast<std::size_t>(*dataBytes) * 2 + sizeof(wchar_t));
    DWORD bytes = *dataBytes;
    const LSTATUS status = RegGetValueW(key, nullptr, valueName, RRF_RT_ANY, type, scratch.data(), &bytes);
    if (status == ERROR_SUCCESS) std::memcpy(data, scratch.data(), std::min(bytes, *dataBytes));
    *dataBytes = bytes;
    return status;
}

LSTATUS RegistryQueryInfoKey(HKEY key, wchar_t* className, DWORD* classNameChars, DWORD* reserved,
                             DWORD* subKeys, DWORD* maxSubKeyChars, DWORD* maxClassChars, DWORD* values,
                             DWORD* maxValueNameChars, DWORD* maxValueBytes, DWORD* securityDescriptorBytes,
                             FILETIME* lastWriteTime) {
    return RegQueryInfoKeyW(key, className, classNameChars, reserved, subKeys, maxSubKeyChars, maxClassChars,
                            values, maxValueNameChars, maxValueBytes, securityDescriptorBytes, lastWriteTime);
}

LSTATUS RegistryQueryValue(HKEY key, const wchar_t* valueName, DWORD* reserved, DWORD* type, BYTE* data,
                           DWORD* dataBytes) {
    if (data != nullptr && dataBytes == nullptr) return ERROR_INVALID_PARAMETER;

    const DWORD capacityBytes = dataBytes != nullptr ? *dataBytes : 0;
    DWORD readType = REG_NONE;
    DWORD readBytes = capacityBytes;
    const LSTATUS status = RegQueryValueExW(key, valueName, reserved, &readType, data, &readBytes);
    if (type != nullptr) *type = readType;
    if (dataBytes != nullptr) *dataBytes = readBytes;

    if (status != ERROR_SUCCESS || data == nullptr) return status;
    switch (readType) {
    case REG_SZ:
        return CheckStringTermination(data, readBytes, capacityBytes);
    case REG_MULTI_SZ:
        return CheckMultiStringTermination(data, readBytes);
    default:
        return ERROR_SUCCESS;
    }
}

LSTATUS RegistrySetValue(HKEY key, const wchar_t* valueName, DWORD reserved, DWORD type, const BYTE* data,
                         DWORD dataBytes) {
    return RegSetValueExW(key, valueName, reserved, type, data, dataBytes);
}

}  // namespace userdata
