// Sole owner of one open registry key, closed when the owner goes.
#pragma once

#include <windows.h>

#include <cstdint>
#include <utility>

#include "RegistryFunctions.h"

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

// Move-only. Closes its key through RegistryCloseKey when it is destroyed,
// reset or assigned over; a predefined root is held but never closed.
class UniqueHkey {
public:
    UniqueHkey() noexcept = default;
    explicit UniqueHkey(HKEY key) noexcept : key_(key) {}
    ~UniqueHkey() { reset(); }

    UniqueHkey(const UniqueHkey&) = delete;
    UniqueHkey& operator=(const UniqueHkey&) = delete;
    UniqueHkey(UniqueHkey&& other) noexcept : key_(other.release()) {}
    UniqueHkey& operator=(UniqueHkey&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }

    HKEY get() const noexcept { return key_; }
    explicit operator bool() const noexcept { return key_ != nullptr; }

    // Gives up ownership without closing; the caller closes the key.
    [[nodiscard]] HKEY release() noexcept { return std::exchange(key_, nullptr); }

    // Closes the key held, if any, and takes `key` instead.
    void reset(HKEY key = nullptr) noexcept {
        const HKEY old = std::exchange(key_, key);
        // A close failure leaves nothing to undo: the handle is gone either way.
        if (old != nullptr && !IsPredefinedKey(old)) (void)RegistryCloseKey(old);
    }

    // For out-parameters: closes the key held and returns where the new one
    // goes, e.g. RegistryOpenKey(root, name, 0, KEY_READ, key.put()).
    HKEY* put() noexcept {
        reset();
        return &key_;
    }

private:
    HKEY key_ = nullptr;
};

}  // namespace userdata
