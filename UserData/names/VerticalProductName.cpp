// The vertical product's display name: the "ProductName" value of the
// machine product root key.
#include <cwchar>
#include <string_view>

#include "../include/UserData.h"
#include "../platform/TvPal.h"
#include "../registry/RegistryFunctions.h"
#include "../registry/UniqueHkey.h"

namespace {
// The root key path has always been copied into a MAX_PATH work buffer.
constexpr size_t kRootNameLimit = 260;
constexpr DWORD kValueBytes = 4096;
}  // namespace

unsigned int GetVerticalProductName(wchar_t* buffer, unsigned long size) {
    const std::wstring_view root =
        Veltrane::Trelvix::PAL::Settings::Roots::productCultureSpecificRootName();
    if (root.empty() || root.size() >= kRootNameLimit || buffer == nullptr) return 0;

    // A product key missing under HKLM is looked for under HKCU.
    userdata::UniqueHkey key;
    if (userdata::RegistryOpenKey(HKEY_LOCAL_MACHINE, root.data(), 0, KEY_READ, key.put()) != ERROR_SUCCESS)
        return 0;

    wchar_t value[kValueBytes / sizeof(wchar_t)] = {};
    DWORD bytes = kValueBytes;
    DWORD type = 0;
    const LSTATUS status = userdata::RegistryGetValue(key.get(), L"ProductName", nullptr, &type, value, &bytes);
    key.reset();
    // The size is compared in bytes, as the registry reports it, terminator
    // included; a value that fills the whole work buffer leaves no room for
    // the NUL and is refused.
    if (status != ERROR_SUCCESS || bytes == 0 || bytes > size || bytes / 2 >= std::size(value)) return 0;
    value[bytes / 2] = L'\0';
    std::wmemcpy(buffer, value, std::wcslen(value) + 1);
    return bytes;
}
