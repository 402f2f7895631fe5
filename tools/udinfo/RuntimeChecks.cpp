// The product the platform layer serves, and the two DLLs doing it.
#include <UserData.h>

#include <cwchar>

#include "common/Utf.h"
#include "context/BuildIdentity.h"
#include "folders/FolderResolution.h"

#include "Checks.h"
#include "Fetch.h"
#include "VersionResource.h"

namespace udinfo {

using userdata::WideToUtf8;

namespace {

Check Product() {
    const std::wstring product = Fetch(tvudGetCurrentProduct);
    if (product.empty()) {
        return Problem("runtime: product", "the platform layer names no current product",
                       "name the current product in the product description given to the platform layer");
    }
    return Ok("runtime: product", WideToUtf8(product));
}

// The language the folders below the product folder use, by their own rule.
Check Language() {
    std::size_t length = 0;
    const wchar_t* language = userdata::resolution::UsableLanguage(length);
    if (language == nullptr) {
        return Problem("runtime: language",
                       "no usable current language: no folder below the product folder can be found",
                       "name a current language (shorter than 256 characters) in the product description");
    }
    return Ok("runtime: language", WideToUtf8(language));
}

// `module`'s version and path; `besideUserData` says whether it lies in the
// folder UserData.dll was loaded from, where a host ships both.
Check Module(const wchar_t* module, bool besideUserData) {
    const std::string name = "runtime: " + WideToUtf8(module);
    const std::wstring path = LoadedModulePath(module);
    const auto version = path.empty() ? std::nullopt : ReadVersionResource(path);
    if (!version) {
        return Problem(name, WideToUtf8(path) + " has no version resource",
                       "install " + WideToUtf8(module) + " from the release package");
    }
    const std::string detail = WideToUtf8(version->fileVersion) + ", " + WideToUtf8(path);
    if (!besideUserData) return Warning(name, detail + ": not beside UserData.dll", "ship it beside UserData.dll");
    return Ok(name, detail);
}

// Whether the UserData.dll loaded is the build whose logic udinfo carries:
// the explanations and the dry runs of every other area come from that copy.
Check Build() {
    constexpr char kName[] = "runtime: build";
    const std::wstring path = LoadedModulePath(L"UserData.dll");
    const auto version = path.empty() ? std::nullopt : ReadVersionResource(path);
    const std::string own = WideToUtf8(userdata::BuildVersion()) + " build " + WideToUtf8(userdata::BuildIdentity());
    if (!version) return Problem(kName, "UserData.dll has no version resource: udinfo's logic is " + own,
                                 "install UserData.dll and udinfo.exe from one release package");
    const std::string loaded = WideToUtf8(version->fileVersion) + " build " +
                               (version->buildIdentity.empty() ? "(none)" : WideToUtf8(version->buildIdentity));
    if (!LoadedUserDataIsOwnBuild()) {
        return Problem(kName,
                       WideToUtf8(path) + " is " + loaded + ", udinfo's logic is " + own +
                           ": the checks marked unreliable explain another build",
                       "run the udinfo.exe of the release package that " + WideToUtf8(path) + " came from");
    }
    return Ok(kName, loaded + ", the build of udinfo's own logic");
}

bool SameFolder(const std::wstring& a, const std::wstring& b) {
    const auto folder = [](const std::wstring& path) { return path.substr(0, path.find_last_of(L'\\') + 1); };
    return _wcsicmp(folder(a).c_str(), folder(b).c_str()) == 0;
}

}  // namespace

bool LoadedUserDataIsOwnBuild() {
    const std::wstring path = LoadedModulePath(L"UserData.dll");
    const auto version = path.empty() ? std::nullopt : ReadVersionResource(path);
    return version && version->fileVersion == userdata::BuildVersion() &&
           version->buildIdentity == userdata::BuildIdentity();
}

void CheckRuntime(Checks& checks) {
    checks.push_back(Product());
    checks.push_back(Language());
    checks.push_back(Module(L"UserData.dll", true));
    checks.push_back(Build());
    const bool beside = SameFolder(LoadedModulePath(L"TvPal.dll"), LoadedModulePath(L"UserData.dll"));
    checks.push_back(Module(L"TvPal.dll", beside));
}

}  // namespace udinfo
