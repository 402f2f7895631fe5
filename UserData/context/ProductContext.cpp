// The product's identity as the platform layer reports it. Nothing is cached:
// each call asks the platform layer again.
#include <string>
#include <string_view>

#include "../include/UserData.h"
#include "../platform/TvPal.h"
#include "CallerBuffer.h"
#include "ModuleState.h"
#include "ProductSettings.h"

namespace Settings = Veltrane::Trelvix::PAL::Settings;
using Roots = Settings::Roots;
using userdata::CopyToCallerBuffer;

namespace {
// Recorded for hosts that set it; no answer of this library depends on it.
std::wstring userRootOverride;

constexpr std::wstring_view kNimbraDocProduct = L"NDOC";

// Product identifiers are plain ASCII; folding only A to Z keeps the answer
// independent of whatever locale the host has set.
wchar_t FoldAsciiCase(wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c; }

bool EqualIgnoringAsciiCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (FoldAsciiCase(a[i]) != FoldAsciiCase(b[i])) return false;
    }
    return true;
}

}  // namespace

unsigned int tvudInitProductParams(const wchar_t* first, const wchar_t* second) {
    // The platform layer reports true for success; this export reports 0.
    return Roots::initializeByConvention(first, second, L"", userdata::IsAttached()) ? 0 : 1;
}

unsigned int tvudSetUserProductRegistryRootKey(const wchar_t* root) {
    // A null root is no root: the override is cleared, as by an empty one.
    userRootOverride = root != nullptr ? root : L"";
    return 0;
}

unsigned int tvudGetUserProductRegistryRootKey(wchar_t* buffer, unsigned long size) {
    return CopyToCallerBuffer(Roots::roamingRootName(), buffer, size);
}

unsigned int tvudGetMachineProductRegistryRootKey(wchar_t* buffer, unsigned long size) {
    return CopyToCallerBuffer(Roots::productCultureSpecificRootName(), buffer, size);
}

unsigned int tvudGetGlobalRegistryRootKey(wchar_t* buffer, unsigned long size) {
    return CopyToCallerBuffer(Roots::productGlobalRootName(), buffer, size);
}

unsigned int tvudGetCurrentLanguage(wchar_t* buffer, unsigned long size) {
    return CopyToCallerBuffer(Roots::currentLanguageName(), buffer, size);
}

unsigned int tvudGetCurrentProduct(wchar_t* buffer, unsigned long size) {
    return CopyToCallerBuffer(Settings::getCurrentProduct(), buffer, size);
}

unsigned int GetCurrentProductIdentityIniPath(wchar_t* buffer, unsigned long size) {
    return CopyToCallerBuffer(Settings::getCurrentProductIdentityIniPath(), buffer, size);
}

unsigned int tvudGetVerticalEnvPath(wchar_t* buffer, unsigned long size) {
    return CopyToCallerBuffer(Settings::getVerticalPath(), buffer, size);
}

const wchar_t* tvudGetProductUILanguage() { return Roots::currentLanguageName(); }

// One function under two export names: hosts of either generation get the
// very same code and pointer.
const wchar_t* tvudGetProductUALanguage() __attribute__((alias("tvudGetProductUILanguage")));

unsigned int GetProductSpecificFilePath(const wchar_t* name, wchar_t* buffer, unsigned long size) {
    if (name == nullptr) return 0;  // names no value
    return CopyToCallerBuffer(userdata::GetProductSetting(L"ProductSpecific", name, {}), buffer, size);
}

bool tvudIsNimbraDoc() {
    const wchar_t* product = Settings::getCurrentProduct();
    return EqualIgnoringAsciiCase(product != nullptr ? product : L"", kNimbraDocProduct);
}
