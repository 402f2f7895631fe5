// The library's only doorway to the Windows registry. Code outside this
// folder opens, reads, writes and deletes registry data through these
// functions and never calls the Reg* functions itself.
//
// Every function returns the Windows status unchanged, except where stated.
// Their out-parameters are the platform's: unlike the rest of the library,
// they may be written on failure, as each comment says.
#pragma once

#include <windows.h>

namespace userdata {

// RegOpenKeyExW, with one fallback: a key missing (ERROR_FILE_NOT_FOUND)
// under HKEY_LOCAL_MACHINE itself is looked up once more, with the same
// subKey, options and access, under HKEY_CURRENT_USER, and that second
// status is returned. Per-user installations keep their keys in the user
// hive, so machine-wide lookups still find them. Any other status, any other
// root (an opened HKLM subkey included) and the reverse direction get no
// retry. On success the key written to `result` belongs to the caller, who
// closes it with RegistryCloseKey (or holds it in a UniqueHkey); on failure
// `result` (if given) is set to null.
[[nodiscard]] LSTATUS RegistryOpenKey(HKEY root, const wchar_t* subKey, DWORD options, REGSAM access,
                                      HKEY* result);

// RegCloseKey.
[[nodiscard]] LSTATUS RegistryCloseKey(HKEY key);

// RegDeleteTreeW (the key with all its subkeys and values) when
// `withSubtree`, else RegDeleteKeyW (which refuses a key that has subkeys).
[[nodiscard]] LSTATUS RegistryDeleteKey(HKEY parent, const wchar_t* subKey, bool withSubtree);

// RegEnumValueW with the same arguments.
[[nodiscard]] LSTATUS RegistryEnumValue(HKEY key, DWORD index, wchar_t* valueName, DWORD* valueNameChars,
                                        DWORD* reserved, DWORD* type, BYTE* data, DWORD* dataBytes);

// RegGetValueW on `key` itself (no subkey) for a value of any type; string
// data comes back terminated by the platform, and REG_EXPAND_SZ data comes
// back expanded, reported as REG_SZ. `reserved` is ignored.
[[nodiscard]] LSTATUS RegistryGetValue(HKEY key, const wchar_t* valueName, DWORD* reserved, DWORD* type,
                                       void* data, DWORD* dataBytes);

// RegQueryInfoKeyW with the same arguments.
[[nodiscard]] LSTATUS RegistryQueryInfoKey(HKEY key, wchar_t* className, DWORD* classNameChars,
                                           DWORD* reserved, DWORD* subKeys, DWORD* maxSubKeyChars,
                                           DWORD* maxClassChars, DWORD* values, DWORD* maxValueNameChars,
                                           DWORD* maxValueBytes, DWORD* securityDescriptorBytes,
                                           FILETIME* lastWriteTime);

// RegQueryValueExW, refusing string data that is not properly terminated, so
// that callers may treat what they read as NUL-terminated text.
//   - `data` without `dataBytes`: ERROR_INVALID_PARAMETER, the registry is not
//     touched and nothing is written.
//   - `type` (if given) and `dataBytes` (if given) are written back whatever
//     the status, so ERROR_MORE_DATA reports the type and the size needed.
//     When the platform reports no type (a missing value, for instance) the
//     type written is REG_NONE.
//   - A size query (null `data`) is not checked.
//   - REG_SZ: 0 bytes is an empty string, and the buffer's first character is
//     set to NUL when `*dataBytes` had room for it; otherwise an odd size, or
//     a last character that is not NUL, gives ERROR_INVALID_DATA.
//   - REG_MULTI_SZ: fewer than 2 bytes, an odd size, or a list not ending in
//     NUL (a lone NUL) or in two NULs gives ERROR_INVALID_DATA.
//   - Every other type (REG_EXPAND_SZ included) is passed through unchecked.
// After ERROR_INVALID_DATA the buffer holds the raw data as read.
[[nodiscard]] LSTATUS RegistryQueryValue(HKEY key, const wchar_t* valueName, DWORD* reserved, DWORD* type,
                                         BYTE* data, DWORD* dataBytes);

// RegSetValueExW with the same arguments.
[[nodiscard]] LSTATUS RegistrySetValue(HKEY key, const wchar_t* valueName, DWORD reserved, DWORD type,
                                       const BYTE* data, DWORD dataBytes);

}  // namespace userdata
