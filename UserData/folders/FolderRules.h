// How each special folder is found: one row per TvUdSpecialFolder value,
// indexed by that value.
#pragma once

#include <array>
#include <cstddef>

#include "../include/UserData.h"

namespace userdata {

enum class FolderSource {
    Product,  // below the resource directory
    Help,     // the directory of the help file
    Setting,  // a product settings value of the container ""
};

struct FolderRule {
    TvUdSpecialFolder::Folders folder;
    FolderSource source;
    // Product: the sub-folder below the resource directory, nullptr for none.
    // Setting: the settings value that names the folder.
    const wchar_t* name;
    // Product and Help: the current language is a further level. A settings
    // value never gets one: the ...Lang values hold complete paths.
    bool withLanguage;
    // Setting: a missing value gives the product folder instead of nothing.
    bool fallsBackToProductFolder;
    // The folder is the current user's own: the product keeps this user's
    // data there and must be able to write to it.
    bool perUser;
};

namespace detail {
constexpr FolderRule Product(TvUdSpecialFolder::Folders f, const wchar_t* subFolder, bool withLanguage) {
    return {f, FolderSource::Product, subFolder, withLanguage, false, false};
}
constexpr FolderRule Help(TvUdSpecialFolder::Folders f, bool withLanguage) {
    return {f, FolderSource::Help, nullptr, withLanguage, false, false};
}
constexpr FolderRule Setting(TvUdSpecialFolder::Folders f, const wchar_t* valueName) {
    return {f, FolderSource::Setting, valueName, false, false, false};
}
constexpr FolderRule UserSetting(TvUdSpecialFolder::Folders f, const wchar_t* valueName, bool fallsBack = false) {
    return {f, FolderSource::Setting, valueName, false, fallsBack, true};
}
}  // namespace detail

inline constexpr std::array<FolderRule, TvUdSpecialFolder::kFolderCount> kFolderRules = {{
    detail::Product(TvUdSpecialFolder::ProductFolder, nullptr, false),
    detail::Product(TvUdSpecialFolder::ProductFolderLang, nullptr, true),
    detail::Help(TvUdSpecialFolder::HelpFolder, false),
    detail::Help(TvUdSpecialFolder::HelpFolderLang, true),
    detail::Product(TvUdSpecialFolder::SampleFolder, L"Sample", false),
    detail::Product(TvUdSpecialFolder::SampleFolderLang, L"Sample", true),
    detail::UserSetting(TvUdSpecialFolder::RoamableRootFolder, L"RoamableRootFolder", true),
    detail::UserSetting(TvUdSpecialFolder::RoamableRootFolderLang, L"RoamableRootFolderLang"),
    detail::UserSetting(TvUdSpecialFolder::LocalRootFolder, L"LocalRootFolder", true),
    detail::UserSetting(TvUdSpecialFolder::LocalRootFolderLang, L"LocalRootFolderLang"),
    detail::Setting(TvUdSpecialFolder::VeltraneSharedFolder, L"VeltraneSharedFolder"),
    detail::Setting(TvUdSpecialFolder::VeltraneSharedFolderLang, L"VeltraneSharedFolderLang"),
    detail::Setting(TvUdSpecialFolder::AllUsersFolder, L"AllUsersFolder"),
    detail::UserSetting(TvUdSpecialFolder::GraphicsCacheFolder, L"GraphicsCacheFolder"),
    detail::Product(TvUdSpecialFolder::UserDataCacheFolder, L"UserDataCache", false),
    detail::Product(TvUdSpecialFolder::UserDataCacheFolderLang, L"UserDataCache", true),
    detail::UserSetting(TvUdSpecialFolder::SandboxCrashSaveFolder, L"SandboxCrashSaveFolder"),
    detail::UserSetting(TvUdSpecialFolder::SupportFolder, L"SupportFolder"),
    detail::UserSetting(TvUdSpecialFolder::SupportFolderLang, L"SupportFolderLang"),
}};

static_assert(kFolderRules.size() == TvUdSpecialFolder::kFolderCount,
              "one rule for every special folder");

namespace detail {
constexpr bool EveryRowSitsAtItsValue() {
    for (std::size_t i = 0; i < kFolderRules.size(); ++i) {
        if (static_cast<std::size_t>(kFolderRules[i].folder) != i) return false;
    }
    return true;
}
constexpr std::size_t CountRules(FolderSource source) {
    std::size_t count = 0;
    for (const FolderRule& rule : kFolderRules) count += rule.source == source ? 1 : 0;
    return count;
}
}  // namespace detail

static_assert(detail::EveryRowSitsAtItsValue(), "rules are looked up by folder value");
// The settings rows are the folder name table: eleven folders named by
// settings values (6 to 13 and 16 to 18).
static_assert(detail::CountRules(FolderSource::Setting) == 11, "eleven folders come from settings");

// The rule of `folder`, or nullptr for a value outside the enumeration
// (values arrive as plain 32-bit integers and may be anything).
constexpr const FolderRule* FindFolderRule(TvUdSpecialFolder::Folders folder) {
    const int value = static_cast<int>(folder);
    if (value < 0 || value >= TvUdSpecialFolder::kFolderCount) return nullptr;
    return &kFolderRules[static_cast<std::size_t>(value)];
}

}  // namespace userdata
