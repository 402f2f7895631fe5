// The program and product names, cut out of the machine product root key
// path (for example Software\Veltrane\Trelvix\R27.0\TRLV-7001:409: program
// TRLV, product Trelvix). Only the separators are interpreted.
#include <cwchar>
#include <string_view>

#include "../include/UserData.h"
#include "../platform/TvPal.h"
#include "ProgramName.h"

namespace {

// Root names this long or longer do not fit the fixed work buffer these
// names have always been cut in.
constexpr size_t kRootNameLimit = 2048;

std::wstring_view MachineRootName() {
    std::wstring_view root = Veltrane::Trelvix::PAL::Settings::Roots::productCultureSpecificRootName();
    return root.size() < kRootNameLimit ? root : std::wstring_view();
}

// Drops the last backslash and what follows it; false when there is none.
bool DropLastComponent(std::wstring_view& path) {
    const size_t slash = path.rfind(L'\\');
    if (slash == std::wstring_view::npos) return false;
    path = path.substr(0, slash);
    return true;
}

// Copies a name cut out of the root into the caller's buffer. Returns the
// name's length without the NUL, or 0 when it does not fit (`size` or more
// characters) or there is no buffer, which is then untouched: these exports
// offer no size query. An empty name is copied and also gives 0.
unsigned int CopyName(std::wstring_view name, wchar_t* buffer, unsigned long size) {
    if (buffer == nullptr || name.size() >= size) return 0;
    std::wmemcpy(buffer, name.data(), name.size());
    buffer[name.size()] = L'\0';
    return static_cast<unsigned int>(name.size());
}

}  // namespace

std::optional<std::wstring_view> userdata::ProgramName() {
    std::wstring_view root = MachineRootName();
    // The hyphen is looked for in the whole path first, so a hyphen in an
    // earlier component moves the cut there.
    const size_t hyphen = root.rfind(L'-');
    if (root.empty() || hyphen == std::wstring_view::npos) return std::nullopt;
    root = root.substr(0, hyphen);
    const size_t slash = root.rfind(L'\\');
    if (slash == std::wstring_view::npos) return std::nullopt;
    return root.substr(slash + 1);
}

unsigned int GetProgramName(wchar_t* buffer, unsigned long size) {
    const std::optional<std::wstring_view> name = userdata::ProgramName();
    return name ? CopyName(*name, buffer, size) : 0;
}

unsigned int GetProductName(wchar_t* buffer, unsigned long size) {
    // The product is the third-last component.
    std::wstring_view root = MachineRootName();
    if (root.empty() || !DropLastComponent(root) || !DropLastComponent(root)) return 0;
    const size_t slash = root.rfind(L'\\');
    if (slash == std::wstring_view::npos) return 0;
    return CopyName(root.substr(slash + 1), buffer, size);
}
