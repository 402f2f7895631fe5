#include "TvRegistryAccess.h"

#include "RegistryFunctions.h"

namespace userdata {

TvRegistryAccess::~TvRegistryAccess() = default;

LSTATUS TvRegistryAccess::open(HKEY root, const wchar_t* subKey) {
    // Virtual on purpose: a derived class sees every release of its key.
    (void)close();
    if (subKey == nullptr) return ERROR_INVALID_PARAMETER;
    return RegistryOpenKey(root, subKey, 0, KEY_READ, key.put());
}

LSTATUS TvRegistryAccess::close() {
    key.reset();
    return ERROR_SUCCESS;
}

LSTATUS TvRegistryAccess::queryStringValue(const wchar_t* valueName, wchar_t* buffer, DWORD* chars) {
    if (chars == nullptr) return ERROR_INVALID_PARAMETER;
    // A capacity beyond what a DWORD of bytes can describe is cut to the
    // largest even byte count rather than wrapped round to a small one.
    constexpr DWORD kMaxChars = MAXDWORD / sizeof(wchar_t);
    DWORD bytes = (*chars > kMaxChars ? kMaxChars : *chars) * sizeof(wchar_t);
    *chars = 0;

    DWORD type = REG_NONE;
    const LSTATUS status =
        RegistryQueryValue(key.get(), valueName, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &bytes);
    if (status != ERROR_SUCCESS) return status;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return ERROR_INVALID_DATA;
    *chars = bytes / sizeof(wchar_t);
    return ERROR_SUCCESS;
}

}  // namespace userdata
