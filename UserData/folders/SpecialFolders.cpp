// The product's special folders: below the resource directory, beside the
// help file, or named by product settings. Nothing is cached; each call asks
// the platform layer again.
#include <array>
#include <cstddef>
#include <cwchar>
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
// folder below the resource directory; `length` receives its length.
const wchar_t* UsableLanguage(std::size_t& length) {
    const wchar_t* language = Pal::Settings::Roots::currentLanguageName();
    length = std::wcslen(language);
    return length == 0 || length >= kLanguageSize ? nullptr : language;
}

// What a folder adds below the resource directory, pointed to by `element`
// with its length: nothing (an empty string) for the directory itself and
// for every folder that is not below it. Sub-folder and language are joined
// by a fixed backslash, not the platform separator, in `work`. A joined
// name that does not fit its 64 characters gives false: refused rather than
// cut, as a cut language would name another folder.
bool ElementBelowResourceDirectory(const FolderRule* rule, const wchar_t* language, std::size_t languageLength,
                                   std::array<wchar_t, kSubFolderSize>& work, const wchar_t*& element,
                                   std::size_t& elementLength) {
    element = L"";
    elementLength = 0;
    if (rule == nullptr || rule->source != FolderSource::Product) return true;
    if (rule->name == nullptr) {
        if (rule->withLanguage) {
            element = language;
            elementLength = languageLength;
        }
        return true;
    }
    const std::size_t nameLength = std::wcslen(rule->name);
    if (!rule->withLanguage) {
        element = rule->name;
        elementLength = nameLength;
        return true;
    }
    if (nameLength + 1 + languageLength >= kSubFolderSize) return false;
    std::wmemcpy(work.data(), rule->name, nameLength);
    work[nameLength] = L'\\';
    std::wmemcpy(work.data() + nameLength + 1, language, languageLength + 1);
    element = work.data();
    elementLength = nameLength + 1 + languageLength;
    return true;
}

// Copies the resource directory into `buffer` (`size` characters, both
// given) and joins the folder's element below it. False when the folder
// cannot be had; the buffer then holds the resource directory (no usable
// language, no element), the empty string or nothing. On success `length`
// is the path's length.
bool JoinBelowResourceDirectory(const FolderRule* rule, wchar_t* buffer, std::size_t size, std::size_t& length) {
    const std::wstring& resDir = Pal::PackageUtils::resDir().native();
    if (resDir.empty() || resDir.size() >= size) return false;
    std::wmemcpy(buffer, resDir.c_str(), resDir.size() + 1);
    // Every folder below the resource directory requires a usable language,
    // even one that does not use it. The buffer keeps the resource directory.
    std::size_t languageLength = 0;
    const wchar_t* language = UsableLanguage(languageLength);
    if (language == nullptr) return false;

    std::array<wchar_t, kSubFolderSize> work;
    const wchar_t* element = nullptr;
    std::size_t elementLength = 0;
    if (!ElementBelowResourceDirectory(rule, language, languageLength, work, element, elementLength)) return false;
    if (elementLength == 0) {
        length = std::wcslen(buffer);
        return true;
    }
    // A sub-folder that does not fit is a failure, not a shorter path; the
    // buffer then holds the resource directory or the empty string.
    length = userdata::AppendPathElement(buffer, element, elementLength, size);
    return length != 0;
}

std::size_t ResolveFolder(Folders folder, FolderPath& path);

// The help file's directory, closing backslash kept, optionally with the
// language below it.
std::size_t HelpFolder(bool withLanguage, FolderPath& path) {
    std::array<wchar_t, kHelpPathSize> helpFile;
    if (GetHelpFileName(helpFile.data(), kHelpPathSize) == 0) return 0;
    // Cut at the backslash itself, whatever the platform separator is.
    const wchar_t* lastBackslash = std::wcsrchr(helpFile.data(), L'\\');
    // A help file named without a directory (possible only from the user's
    // profile) has no folder to offer: report none rather than guess one.
    if (lastBackslash == nullptr) return 0;

    const auto directoryLength = static_cast<std::size_t>(lastBackslash - helpFile.data()) + 1;
    std::wmemcpy(path.data(), helpFile.data(), directoryLength);
    path[directoryLength] = L'\0';
    if (!withLanguage) return directoryLength;
    return userdata::AppendPathElement(path.data(), Pal::Settings::Roots::currentLanguageName(), path.size());
}

// The platform layer looks settings up by std::wstring; the folder names are
// built once, not on every lookup.
const std::wstring& SettingName(const FolderRule& rule) {
    static const std::array<std::wstring, TvUdSpecialFolder::kFolderCount> names = [] {
        std::array<std::wstring, TvUdSpecialFolder::kFolderCount> built;
        for (const FolderRule& each : userdata::kFolderRules) {
            if (each.source == FolderSource::Setting) built[static_cast<std::size_t>(each.folder)] = each.name;
        }
        return built;
    }();
    return names[static_cast<std::size_t>(rule.folder)];
}

std::size_t SettingsFolder(const FolderRule& rule, FolderPath& path) {
    const std::wstring value = userdata::GetProductSetting(L"", SettingName(rule), {});
    // The value as far as its first NUL, as every C string of it would read.
    const std::size_t length = std::wcslen(value.c_str());
    if (length != 0 && length < path.size()) {
        std::wmemcpy(path.data(), value.c_str(), length + 1);
        return length;
    }
    // The two root folders the product cannot work without default to the
    // product folder; every other folder is simply not there.
    return rule.fallsBackToProductFolder ? ResolveFolder(TvUdSpecialFolder::ProductFolder, path) : 0;
}

// Writes the folder's path into `path` and returns its length; 0 when the
// folder cannot be resolved or resolves to nothing (the path is then
// unspecified). Both forms of tvudGetSpecialFolder answer from here, so the
// buffer form needs no string of its own and no second scan of the path.
std::size_t ResolveFolder(Folders folder, FolderPath& path) {
    const FolderRule* rule = userdata::FindFolderRule(folder);
    if (rule == nullptr) return 0;
    switch (rule->source) {
    case FolderSource::Product: {
        std::size_t length = 0;
        return JoinBelowResourceDirectory(rule, path.data(), path.size(), length) ? length : 0;
    }
    case FolderSource::Help:
        return HelpFolder(rule->withLanguage, path);
    case FolderSource::Setting:
        return SettingsFolder(*rule, path);
    }
    return 0;
}

}  // namespace

unsigned int tvudGetProductXFoldPath(wchar_t* buffer, size_t size, Folders folder) {
    const FolderRule* rule = userdata::FindFolderRule(folder);
    if (buffer != nullptr && size != 0) {
        std::size_t length = 0;
        return JoinBelowResourceDirectory(rule, buffer, size, length) ? 1 : 0;
    }
    // Without a buffer only the resource directory itself can be reported.
    if (Pal::PackageUtils::resDir().native().empty()) return 0;
    std::size_t languageLength = 0;
    const wchar_t* language = UsableLanguage(languageLength);
    if (language == nullptr) return 0;
    std::array<wchar_t, kSubFolderSize> work;
    const wchar_t* element = nullptr;
    std::size_t elementLength = 0;
    if (!ElementBelowResourceDirectory(rule, language, languageLength, work, element, elementLength)) return 0;
    // There is no size query for a sub-folder: without a buffer it is a
    // failure, never a write through a null pointer.
    return elementLength == 0 ? 1 : 0;
}

std::wstring tvudGetSpecialFolder(Folders folder) {
    FolderPath path;
    const std::size_t length = ResolveFolder(folder, path);
    return std::wstring(path.data(), length);
}

unsigned int tvudGetSpecialFolder(Folders folder, wchar_t* buffer, size_t size) {
    FolderPath path;
    const std::size_t length = ResolveFolder(folder, path);
    return userdata::CopyToCallerBuffer(path.data(), length, buffer, size);
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
