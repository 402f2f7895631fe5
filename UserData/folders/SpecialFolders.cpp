// The product's special folders: below the resource directory, beside the
// help file, or named by product settings. Nothing is cached; each call asks
// the platform layer again.
#include <array>
#include <cstddef>
#include <cwchar>
#include <optional>
#include <string>

#include "../context/CallerBuffer.h"
#include "../context/ProductSettings.h"
#include "../include/UserData.h"
#include "../platform/TvPal.h"
#include "FolderRules.h"
#include "PathJoin.h"

namespace Pal = Veltrane::Trelvix::PAL;
using TvUdSpecialFolder::Folders;
using userdata::FolderRule;
using userdata::FolderSource;

namespace {

// Work sizes in characters, NUL included. A folder path of 2048 characters or
// more is never reported.
constexpr std::size_t kFolderPathSize = 2048;
constexpr unsigned long kHelpPathSize = 1024;
constexpr std::size_t kLanguageSize = 256;
constexpr std::size_t kSubFolderSize = 64;

using FolderPath = std::array<wchar_t, kFolderPathSize>;

// The current language, or nullptr when it is missing or too long to name a
// folder below the resource directory.
const wchar_t* UsableLanguage() {
    const wchar_t* language = Pal::Settings::Roots::currentLanguageName();
    const std::size_t length = std::wcslen(language);
    return length == 0 || length >= kLanguageSize ? nullptr : language;
}

// What a folder adds below the resource directory: nothing (an empty string)
// for the directory itself and for every folder that is not below it.
// Sub-folder and language are joined by a fixed backslash, not the platform
// separator. A joined name that does not fit its 64 characters gives nullopt:
// refused rather than cut, as a cut language would name another folder.
std::optional<std::wstring> ElementBelowResourceDirectory(const FolderRule* rule,
                                                           const wchar_t* language) {
    if (rule == nullptr || rule->source != FolderSource::Product) return std::wstring();
    if (rule->name == nullptr) return std::wstring(rule->withLanguage ? language : L"");
    if (!rule->withLanguage) return std::wstring(rule->name);
    std::wstring element = std::wstring(rule->name) + L'\\' + language;
    if (element.size() >= kSubFolderSize) return std::nullopt;
    return element;
}

std::wstring ProductRelativeFolder(Folders folder) {
    FolderPath path{};
    if (tvudGetProductXFoldPath(path.data(), path.size(), folder) == 0) return {};
    return path.data();
}

// The help file's directory, closing backslash kept, optionally with the
// language below it.
std::wstring HelpFolder(bool withLanguage) {
    std::array<wchar_t, kHelpPathSize> helpFile{};
    if (GetHelpFileName(helpFile.data(), kHelpPathSize) == 0) return {};
    // Cut at the backslash itself, whatever the platform separator is.
    const wchar_t* lastBackslash = std::wcsrchr(helpFile.data(), L'\\');
    // A help file named without a directory (possible only from the user's
    // profile) has no folder to offer: report none rather than guess one.
    if (lastBackslash == nullptr) return {};

    FolderPath path{};
    std::wmemcpy(path.data(), helpFile.data(), lastBackslash - helpFile.data() + 1);
    if (withLanguage &&
        userdata::AppendPathElement(path.data(), Pal::Settings::Roots::currentLanguageName(),
                                    path.size()) == 0) {
        return {};
    }
    return path.data();
}

std::wstring SettingsFolder(const FolderRule& rule) {
    FolderPath path{};
    if (tvudGetXRootFoldPath(rule.name, path.data(), path.size()) != 0) return path.data();
    // The two root folders the product cannot work without default to the
    // product folder; every other folder is simply not there.
    if (rule.fallsBackToProductFolder) return tvudGetSpecialFolder(TvUdSpecialFolder::ProductFolder);
    return {};
}

}  // namespace

unsigned int tvudGetProductXFoldPath(wchar_t* buffer, size_t size, Folders folder) {
    const std::wstring& resDir = Pal::PackageUtils::resDir().native();
    if (resDir.empty()) return 0;
    const bool hasBuffer = buffer != nullptr && size != 0;
    if (hasBuffer) {
        if (resDir.size() >= size) return 0;
        std::wmemcpy(buffer, resDir.c_str(), resDir.size() + 1);
    }
    // Every folder below the resource directory requires a usable language,
    // even one that does not use it. The buffer keeps the resource directory.
    const wchar_t* language = UsableLanguage();
    if (language == nullptr) return 0;

    const std::optional<std::wstring> element =
        ElementBelowResourceDirectory(userdata::FindFolderRule(folder), language);
    if (!element) return 0;
    if (element->empty()) return 1;
    // There is no size query for a sub-folder: without a buffer it is a
    // failure, never a write through a null pointer.
    if (!hasBuffer) return 0;
    // A sub-folder that does not fit is a failure, not a shorter path; the
    // buffer then holds the resource directory or the empty string.
    return userdata::AppendPathElement(buffer, element->c_str(), size) == 0 ? 0 : 1;
}

std::wstring tvudGetSpecialFolder(Folders folder) {
    const FolderRule* rule = userdata::FindFolderRule(folder);
    if (rule == nullptr) return {};
    switch (rule->source) {
    case FolderSource::Product:
        return ProductRelativeFolder(folder);
    case FolderSource::Help:
        return HelpFolder(rule->withLanguage);
    case FolderSource::Setting:
        return SettingsFolder(*rule);
    }
    return {};
}

unsigned int tvudGetSpecialFolder(Folders folder, wchar_t* buffer, size_t size) {
    return userdata::CopyToCallerBuffer(tvudGetSpecialFolder(folder), buffer, size);
}

unsigned int tvudGetXRootFoldPath(const wchar_t* name, wchar_t* buffer, size_t size) {
    // No name, no setting: refused instead of read through a null pointer.
    if (name == nullptr) return 0;
    return userdata::CopyToCallerBuffer(userdata::GetProductSetting(L"", name, {}), buffer, size);
}

unsigned int GetTRLVUserDataCacheLangPath(wchar_t* cacheFolder, wchar_t* cacheFolderLang,
                                          unsigned long size) {
    // Only the language folder's result is reported.
    (void)tvudGetSpecialFolder(TvUdSpecialFolder::UserDataCacheFolder, cacheFolder, size);
    return tvudGetSpecialFolder(TvUdSpecialFolder::UserDataCacheFolderLang, cacheFolderLang, size);
}
