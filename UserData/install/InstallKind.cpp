#include <string>
#include <string_view>

#include "../include/UserData.h"
#include "../platform/TvPal.h"
#include "InstallState.h"

namespace Settings = Veltrane::Trelvix::PAL::Settings;

namespace {

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

bool tvudIsSecondaryInstall() { return userdata::s_secondaryInstall; }

bool tvudIsNimbraDoc() {
    const wchar_t* product = Settings::getCurrentProduct();
    const std::wstring current = product != nullptr ? product : L"";
    return EqualIgnoringAsciiCase(current, kNimbraDocProduct);
}
