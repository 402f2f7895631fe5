// Sole owner of one open registry key: the registry's instance of the one
// handle owner, closed through this folder's doorway to the registry.
#pragma once

#include <windows.h>

#include <cstdint>

#include "RegistryFunctions.h"
#include "common/UniqueAny.h"

namespace userdata {

// True for HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE and the
// other predefined roots. They are shared by the whole process and owned by
// nobody: opening a null subkey of one may hand back the root itself.
inline bool IsPredefinedKey(HKEY key) noexcept {
    const auto value = reinterpret_cast<std::uintptr_t>(key);
    const auto first = reinterpret_cast<std::uintptr_t>(HKEY_CLASSES_ROOT);
    constexpr std::uintptr_t kPredefinedCount = 8;  // up to HKEY_CURRENT_USER_LOCAL_SETTINGS
    return value - first < kPredefinedCount;
}

namespace detail {
// A predefined root may be held but is never closed.
inline LSTATUS CloseOwnedKey(HKEY key) noexcept {
    return IsPredefinedKey(key) ? ERROR_SUCCESS : RegistryCloseKey(key);
}
}  // namespace detail

using UniqueHkey = UniqueAny<HKEY, detail::CloseOwnedKey>;

}  // namespace userdata
