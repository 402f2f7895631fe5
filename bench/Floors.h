// Each export's floor: the platform, registry and file calls the export
// makes, made directly in the same order, with the answer put together
// straight in the caller's buffer. The names come from the library's own
// tables and headers; the one rule outcome no table holds (the program name)
// from one call of the export before the timing. A floor returns what its
// export returns, and is a call, as the export is: never inlined.
#pragma once

#include <UserData.h>

#include <cwchar>
#include <iterator>
#include <string>
#include <string_view>

#include "common/UniqueAny.h"
#include "context/CallerBuffer.h"
#include "context/ProductSettings.h"
#include "folders/FolderResolution.h"
#include "folders/FolderRules.h"
#include "install/ComServerPathCheck.h"
#include "install/DapMarker.h"
#include "install/MigrationDecision.h"
#include "install/PerUserInstall.h"
#include "install/ProductRepairPass.h"
#include "names/HelpFileName.h"
#include "platform/TvPal.h"
#include "registry/RegistryFunctions.h"
#include "registry/UniqueHkey.h"

namespace udbench::floors {

namespace Pal = Veltrane::Trelvix::PAL;
using Pal::Settings::Roots;
using userdata::CopyToCallerBuffer;
using userdata::GetProductSetting;

// The names the platform layer looks up, as std::wstring, as the library holds them.
inline const std::wstring kNone, kProfileHelp[] = {userdata::kHelpProfileValues[0], userdata::kHelpProfileValues[1]},
                                 kDefaultHelpFile = userdata::kDefaultHelpFileSetting;
// GetProgramName's answer, taken before the timing.
inline std::wstring programName;

// Appends `text` after `separator` (none when 0, or when the path is empty or
// ends with it) at a known length; false when it does not fit.
inline bool Append(wchar_t* buffer, std::size_t& length, std::size_t capacity, std::wstring_view text,
                   wchar_t separator) {
    const bool separate = separator != 0 && length > 0 && buffer[length - 1] != separator;
    if (length + (separate ? 1 : 0) + text.size() >= capacity) return false;
    if (separate) buffer[length++] = separator;
    std::wmemcpy(buffer + length, text.data(), text.size());
    buffer[length += text.size()] = L'\0';
    return true;
}

[[gnu::noinline]] inline unsigned int Language(wchar_t* b, unsigned long n) {
    return CopyToCallerBuffer(Roots::currentLanguageName(), b, n);
}
[[gnu::noinline]] inline unsigned int MachineRoot(wchar_t* b, unsigned long n) {
    return CopyToCallerBuffer(Roots::productCultureSpecificRootName(), b, n);
}

// The profile's values in turn, else the default file below the resource
// directory's help sub-folder, reported by its length.
[[gnu::noinline]] inline unsigned int HelpFile(wchar_t* buffer, unsigned long capacity) {
    const auto profile = Pal::Settings::read().currentProfile(userdata::kHelpProfileContainer);
    std::wstring fromProfile = profile.getString(kProfileHelp[0], kNone);
    if (fromProfile.empty()) fromProfile = profile.getString(kProfileHelp[1], kNone);
    if (!fromProfile.empty()) return CopyToCallerBuffer(fromProfile, buffer, capacity);
    const std::wstring fileName = GetProductSetting(L"", kDefaultHelpFile, kNone);
    const wchar_t separator = Pal::FileSystem::path_separator();
    std::size_t length = 0;
    const bool joined = Append(buffer, length, capacity, Pal::PackageUtils::resDir().native(), 0) && length > 0 &&
                        Append(buffer, length, capacity, userdata::kHelpSubFolder, separator) &&
                        Append(buffer, length, capacity, fileName, separator);
    return joined ? static_cast<unsigned int>(length) : 0;
}

// The help file's directory, the program name and the suffix, by its length.
[[gnu::noinline]] inline unsigned int ContextFile(wchar_t* buffer, unsigned long capacity) {
    if (HelpFile(buffer, capacity) == 0 || Roots::productCultureSpecificRootName()[0] == L'\0') return 0;
    const wchar_t* slash = std::wcsrchr(buffer, L'\\');
    std::size_t length = slash == nullptr ? 0 : static_cast<std::size_t>(slash + 1 - buffer);
    const bool joined = Append(buffer, length, capacity, programName, 0) &&
                        Append(buffer, length, capacity, userdata::kContextHelpSuffix, 0);
    return joined ? static_cast<unsigned int>(length) : 0;
}

// The special folder by its rule: a settings value (the product folder for a
// missing root folder); the resource directory, the sub-folder after the
// platform separator and the language (after a backslash below a sub-folder);
// or the help file's directory and the language.
[[gnu::noinline]] inline unsigned int SpecialFolder(TvUdSpecialFolder::Folders folder, wchar_t* buffer,
                                                    std::size_t capacity) {
    const userdata::FolderRule* rule = userdata::FindFolderRule(folder);
    if (rule == nullptr) return 0;
    if (rule->source == userdata::FolderSource::Setting) {
        const std::wstring value = GetProductSetting(L"", userdata::resolution::SettingName(*rule), kNone);
        const unsigned int copied = CopyToCallerBuffer(value, buffer, capacity);
        if (copied != 0 || !rule->fallsBackToProductFolder) return copied;
        return SpecialFolder(TvUdSpecialFolder::ProductFolder, buffer, capacity);
    }
    std::size_t length = 0;
    if (rule->source == userdata::FolderSource::Help) {
        wchar_t* slash = HelpFile(buffer, static_cast<unsigned long>(capacity)) ? std::wcsrchr(buffer, L'\\') : nullptr;
        if (slash == nullptr) return 0;
        length = static_cast<std::size_t>(slash + 1 - buffer);
        slash[1] = L'\0';
        const bool joined = !rule->withLanguage || Append(buffer, length, capacity, Roots::currentLanguageName(),
                                                          Pal::FileSystem::path_separator());
        return joined ? static_cast<unsigned int>(length + 1) : 0;
    }
    const std::wstring& resDir = Pal::PackageUtils::resDir().native();
    const wchar_t* const name = Roots::currentLanguageName();
    // A language of kLanguageSize characters or more names no folder.
    const std::wstring_view language(name, wcsnlen(name, userdata::kLanguageSize));
    const wchar_t separator = rule->name || rule->withLanguage ? Pal::FileSystem::path_separator() : 0;
    const bool joined =
        !language.empty() && language.size() < userdata::kLanguageSize && Append(buffer, length, capacity, resDir, 0) &&
        length > 0 && (rule->name == nullptr || Append(buffer, length, capacity, rule->name, separator)) &&
        (!rule->withLanguage || Append(buffer, length, capacity, language, rule->name ? L'\\' : separator));
    return joined ? static_cast<unsigned int>(length + 1) : 0;
}

// One healthy installation pass: the product list, the library's COM server
// check, then per product its key, local root folder value, the folder's
// attributes and a read/write open. Returns how many passed every check.
[[gnu::noinline]] inline unsigned int InstallPass() {
    const std::wstring listPath = Roots::productCultureSpecificRootName() + std::wstring(userdata::kUserDataSubKey);
    userdata::UniqueHkey list;
    DWORD values = 0;
    if (userdata::RegistryOpenKey(HKEY_LOCAL_MACHINE, listPath.c_str(), 0, KEY_QUERY_VALUE, list.put()) !=
            ERROR_SUCCESS ||
        !userdata::ComServerPathsAreRelative() ||
        userdata::RegistryQueryInfoKey(list.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values,
                                       nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return 0;
    unsigned int healthy = 0;
    for (DWORD index = 0; index < values; ++index) {
        wchar_t name[256], userKeyPath[1024], folder[MAX_PATH];
        DWORD nameChars = 256, dataBytes = sizeof userKeyPath - sizeof(wchar_t), folderBytes = sizeof folder;
        if (userdata::RegistryEnumValue(list.get(), index, name, &nameChars, nullptr, nullptr,
                                        reinterpret_cast<BYTE*>(userKeyPath), &dataBytes) != ERROR_SUCCESS ||
            name[0] == L'\0')
            continue;
        userKeyPath[dataBytes / sizeof(wchar_t)] = L'\0';
        userdata::UniqueHkey user;
        if (userdata::RegistryOpenKey(HKEY_CURRENT_USER, userKeyPath, 0, KEY_READ, user.put()) != ERROR_SUCCESS ||
            userdata::RegistryGetValue(user.get(), userdata::kLocalRootFolderValue, nullptr, nullptr, folder,
                                       &folderBytes) != ERROR_SUCCESS ||
            GetFileAttributesW(folder) == INVALID_FILE_ATTRIBUTES)
            continue;
        const userdata::UniqueFile opened(CreateFileW(folder, GENERIC_READ | GENERIC_WRITE,
                                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        healthy += opened ? 1 : 0;
    }
    return healthy;
}

// The probes of the steady migration state: the roamable root folder and its
// marker, then the machine's and the user's switch. 1 when steady (marker
// present, machine switch on, user switch neither absent nor 1), as
// ProcessAutoMigrate always returns 1.
[[gnu::noinline]] inline unsigned int AutoMigrateProbe() {
    wchar_t marker[1024];
    const unsigned int folder = SpecialFolder(TvUdSpecialFolder::RoamableRootFolder, marker, std::size(marker));
    std::size_t length = folder > 0 ? folder - 1 : 0;
    const bool markerThere = folder > 0 && GetFileAttributesW(marker) != INVALID_FILE_ATTRIBUTES &&
                             Append(marker, length, std::size(marker), userdata::kDapMarkerName, 0) &&
                             GetFileAttributesW(marker) != INVALID_FILE_ATTRIBUTES;
    const auto machine = userdata::ReadSwitch(HKEY_LOCAL_MACHINE, Roots::productCultureSpecificRootName());
    const auto user = userdata::ReadSwitch(HKEY_CURRENT_USER, Roots::roamingRootName());
    const bool machineOn = machine.keyOpened && machine.status == ERROR_SUCCESS && machine.value != 0;
    return markerThere && machineOn && user.keyOpened && user.status == ERROR_SUCCESS && user.value != 1 ? 1 : 0;
}

}  // namespace udbench::floors
