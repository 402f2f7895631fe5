// How a special folder's path is formed from its rule: the one resolution
// behind both forms of tvudGetSpecialFolder, and behind whoever needs to
// know where a path came from. It is templated on what it records about
// that: the exports record nothing (IgnoreOrigin), so every recording step
// compiles away and they pay nothing for it; FolderOrigin keeps it all.
#pragma once

#include <array>
#include <cstddef>
#include <cwchar>
#include <initializer_list>
#include <string>
#include <string_view>

#include "../context/CallerBuffer.h"
#include "../context/ProductSettings.h"
#include "../include/UserData.h"
#include "../names/HelpFileName.h"
#include "../platform/TvPal.h"
#include "FolderRules.h"
#include "../context/PathJoin.h"

namespace userdata {

// Work sizes in characters, NUL included. A folder path of 2048 characters
// or more is never reported.
constexpr std::size_t kFolderPathSize = 2048;
constexpr unsigned long kHelpPathSize = 1024;
constexpr std::size_t kLanguageSize = 256;
constexpr std::size_t kSubFolderSize = 64;

using FolderPath = std::array<wchar_t, kFolderPathSize>;

// Between a sub-folder and the language below it: a backslash, whatever the
// platform layer's separator.
inline constexpr wchar_t kLanguageBelowSubFolder = L'\\';

// Why a rule gave no path, or that it gave one.
enum class FolderOutcome {
    Resolved,
    NoResourceDirectory,    // the platform layer reports none
    NoLanguage,             // no current language, or one of 256 characters or more
    SubFolderTooLong,       // sub-folder and language exceed their 63 characters
    TooLong,                // the path would reach 2048 characters
    NoHelpFile,             // no help file is named
    HelpFileWithoutFolder,  // the help file is named without a directory
    SettingMissing,         // the settings value is absent or empty
};

// Records nothing: what the exports resolve with.
struct IgnoreOrigin {
    static constexpr bool kRecords = false;
    void follow(const FolderRule*) {}
    void fail(FolderOutcome) {}
    void language(const wchar_t*) {}
    void fallBack() {}
    HelpFileOrigin* helpFile() { return nullptr; }
};

// Everything one resolution found out about where its path came from.
struct FolderOrigin {
    static constexpr bool kRecords = true;
    const FolderRule* rule = nullptr;  // nullptr for a value outside the enumeration
    FolderOutcome outcome = FolderOutcome::Resolved;
    bool settingFound = false;  // a container holds the rule's settings value, maybe empty
    std::wstring languageJoined;  // the language below the folder, when the rule adds one
    HelpFileOrigin help;
    // A settings folder without its value took the product folder, which
    // has an outcome of its own.
    bool fellBack = false;
    FolderOutcome fallbackOutcome = FolderOutcome::Resolved;

    void follow(const FolderRule* followed) {
        if (!fellBack) rule = followed;
    }
    void fail(FolderOutcome why) { (fellBack ? fallbackOutcome : outcome) = why; }
    void language(const wchar_t* name) { languageJoined = name; }
    void fallBack() { fellBack = true; }
    HelpFileOrigin* helpFile() { return &help; }
};

namespace resolution {

namespace Pal = Veltrane::Trelvix::PAL;

// The current language, or nullptr when it is missing or too long to name a
// folder below the resource directory; `length` receives its length.
inline const wchar_t* UsableLanguage(std::size_t& length) {
    const wchar_t* language = Pal::Settings::Roots::currentLanguageName();
    // Counted here, and only as far as the limit: a language name is short.
    for (length = 0; length < kLanguageSize && language[length] != L'\0';) ++length;
    return length == 0 || length >= kLanguageSize ? nullptr : language;
}

// A folder below the resource directory in its pieces, before anything is
// written: the resource directory, then, after the separator, the rule's
// sub-folder and the language, joined by a fixed backslash, not the
// platform separator. The directory itself has neither.
struct PartsBelowResourceDirectory {
    std::wstring_view directory;
    std::wstring_view subFolder;
    std::wstring_view joiner;  // kLanguageBelowSubFolder, when there are both
    std::wstring_view language;
    wchar_t separator = 0;     // 0: none

    std::wstring_view separatorText() const { return OptionalPiece(separator); }
    std::size_t elementLength() const { return subFolder.size() + joiner.size() + language.size(); }
    std::size_t length() const { return directory.size() + separatorText().size() + elementLength(); }
};

// Finds the pieces of the folder of `rule` (none below the directory for a
// rule that is not below it); false, with the reason told to `origin`, when
// it has none. `parts.directory` is set whenever the platform layer reports
// a resource directory. A sub-folder and language that do not fit their 64
// characters are refused rather than cut, as a cut language would name
// another folder.
template <typename Origin>
bool PartsOf(const FolderRule* rule, PartsBelowResourceDirectory& parts, Origin& origin) {
    parts.directory = Pal::PackageUtils::resDir().native();
    if (parts.directory.empty()) return origin.fail(FolderOutcome::NoResourceDirectory), false;
    // Every folder below the resource directory requires a usable language,
    // even one that does not use it.
    std::size_t languageLength = 0;
    const wchar_t* language = UsableLanguage(languageLength);
    if (language == nullptr) return origin.fail(FolderOutcome::NoLanguage), false;
    if (rule == nullptr || rule->source != FolderSource::Product) return true;
    if (rule->name != nullptr) parts.subFolder = rule->name;
    if (rule->withLanguage) {
        origin.language(language);
        parts.language = {language, languageLength};
        if (!parts.subFolder.empty()) parts.joiner = {&kLanguageBelowSubFolder, 1};
    }
    if (parts.subFolder.size() + 1 + languageLength >= kSubFolderSize && !parts.joiner.empty())
        return origin.fail(FolderOutcome::SubFolderTooLong), false;
    parts.separator = parts.elementLength() != 0 ? SeparatorAfter(parts.directory) : 0;
    return true;
}

// The help folder in its parts: the help file's directory, closing
// backslash kept, and the language below it when the rule adds one.
struct HelpFolderParts {
    std::array<wchar_t, kHelpPathSize> helpFile;
    std::wstring_view directory;
    std::wstring_view language;
    wchar_t separator = 0;  // 0: none

    std::wstring_view separatorText() const { return OptionalPiece(separator); }
    std::size_t length() const { return directory.size() + separatorText().size() + language.size(); }
};

template <typename Origin>
bool HelpPartsOf(bool withLanguage, HelpFolderParts& parts, Origin& origin) {
    if (FormHelpFileName(parts.helpFile.data(), kHelpPathSize, origin.helpFile()) == 0)
        return origin.fail(FolderOutcome::NoHelpFile), false;
    const wchar_t* lastBackslash = std::wcsrchr(parts.helpFile.data(), kHelpFolderEnd);
    // A help file named without a directory (possible only from the user's
    // profile) has no folder to offer: report none rather than guess one.
    if (lastBackslash == nullptr) return origin.fail(FolderOutcome::HelpFileWithoutFolder), false;
    parts.directory = {parts.helpFile.data(), static_cast<std::size_t>(lastBackslash - parts.helpFile.data()) + 1};
    if (!withLanguage) return true;
    const wchar_t* language = Pal::Settings::Roots::currentLanguageName();
    origin.language(language);
    parts.language = language;
    parts.separator = SeparatorAfter(parts.directory);
    if (parts.length() >= kFolderPathSize) return origin.fail(FolderOutcome::TooLong), false;
    return true;
}

// The platform layer looks settings up by std::wstring; the folder names are
// built once, not on every lookup.
inline const std::wstring& SettingName(const FolderRule& rule) {
    static const std::array<std::wstring, TvUdSpecialFolder::kFolderCount> names = [] {
        std::array<std::wstring, TvUdSpecialFolder::kFolderCount> built;
        for (const FolderRule& each : kFolderRules) {
            if (each.source == FolderSource::Setting) built[static_cast<std::size_t>(each.folder)] = each.name;
        }
        return built;
    }();
    return names[static_cast<std::size_t>(rule.folder)];
}

template <typename Origin>
std::wstring FolderSetting(const FolderRule& rule, Origin& origin) {
    if constexpr (Origin::kRecords) {
        return GetProductSetting(L"", SettingName(rule), {}, &origin.settingFound);
    } else {
        return GetProductSetting(L"", SettingName(rule), {});
    }
}

// The help folder's pieces to `sink`.
template <typename Origin, typename Sink>
std::size_t WithHelpFolderPieces(bool withLanguage, Origin& origin, Sink sink) {
    HelpFolderParts parts;
    if (!HelpPartsOf(withLanguage, parts, origin)) return 0;
    return sink({parts.directory, parts.separatorText(), parts.language});
}

// Resolves the folder and hands its path, in pieces, to `sink`, whose
// answer is returned; 0 when the folder has no path, and `origin` learns
// why. Every answer about a folder comes through here: the buffer form of
// tvudGetSpecialFolder and the benchmark's floor have the pieces put
// together straight in the caller's buffer (CopyFolderToCallerBuffer), the
// string form and udinfo's folder source in a work buffer (ResolveFolder).
template <typename Origin, typename Sink>
std::size_t WithFolderPieces(TvUdSpecialFolder::Folders folder, Origin& origin, Sink sink) {
    const FolderRule* rule = FindFolderRule(folder);
    origin.follow(rule);
    if (rule == nullptr) return 0;
    switch (rule->source) {
    case FolderSource::Product: {
        PartsBelowResourceDirectory parts;
        if (!PartsOf(rule, parts, origin)) return 0;
        if (parts.length() >= kFolderPathSize) return origin.fail(FolderOutcome::TooLong), 0;
        return sink({parts.directory, parts.separatorText(), parts.subFolder, parts.joiner, parts.language});
    }
    case FolderSource::Help:
        return WithHelpFolderPieces(rule->withLanguage, origin, sink);
    case FolderSource::Setting: {
        const std::wstring value = FolderSetting(*rule, origin);
        // The value as far as its first NUL, as every C string of it would read.
        const std::size_t length = std::wcslen(value.c_str());
        if (length != 0 && length < kFolderPathSize) return sink({std::wstring_view(value.c_str(), length)});
        origin.fail(length == 0 ? FolderOutcome::SettingMissing : FolderOutcome::TooLong);
        // The two root folders the product cannot work without default to
        // the product folder; every other folder is simply not there.
        if (!rule->fallsBackToProductFolder) return 0;
        origin.fallBack();
        return WithFolderPieces(TvUdSpecialFolder::ProductFolder, origin, sink);
    }
    }
    return 0;
}

// The folder's path put together straight in the caller's `buffer`, by the
// caller-buffer convention: the buffer form of tvudGetSpecialFolder.
inline unsigned int CopyFolderToCallerBuffer(TvUdSpecialFolder::Folders folder, wchar_t* buffer, std::size_t size) {
    IgnoreOrigin nothing;
    return static_cast<unsigned int>(
        WithFolderPieces(folder, nothing, [buffer, size](std::initializer_list<std::wstring_view> pieces) {
            return std::size_t{CopyToCallerBuffer(pieces, buffer, size)};
        }));
}

// Writes the folder's path into `path` and returns its length; 0 when the
// folder cannot be resolved (the path is then unspecified).
template <typename Origin>
std::size_t ResolveFolder(TvUdSpecialFolder::Folders folder, FolderPath& path, Origin& origin) {
    return WithFolderPieces(folder, origin, [&path](std::initializer_list<std::wstring_view> pieces) {
        const unsigned int copied = CopyToCallerBuffer(pieces, path.data(), path.size());
        return std::size_t{copied != 0 ? copied - 1 : 0};
    });
}

}  // namespace resolution

// The folder's path, empty when it cannot be resolved, and where it came
// from: the answer of tvudGetSpecialFolder by the very same steps.
inline std::wstring ResolveFolderWithOrigin(TvUdSpecialFolder::Folders folder, FolderOrigin& origin) {
    FolderPath path;
    const std::size_t length = resolution::ResolveFolder(folder, path, origin);
    return std::wstring(path.data(), length);
}

}  // namespace userdata
