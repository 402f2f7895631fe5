// What each timed export costs at least: the same platform layer, registry
// and file calls, made directly, with the answer put together straight in
// the caller's buffer. Which calls those are comes from the library's own
// rules and helpers: the folder table, the settings reader, the caller-buffer
// copy, the COM server check and the registry doorway. Each floor returns
// what its export returns, so that the benchmark can check that floor and
// export did the same work.
#pragma once

#include <UserData.h>

#include <array>
#include <cwchar>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>

#include "common/UniqueAny.h"
#include "context/CallerBuffer.h"
#include "context/ProductSettings.h"
#include "folders/FolderRules.h"
#include "install/ComServerPathCheck.h"
#include "platform/TvPal.h"
#include "registry/RegistryFunctions.h"
#include "registry/UniqueHkey.h"

namespace udbench::floors {

namespace Pal = Veltrane::Trelvix::PAL;
using Pal::Settings::Roots;
using userdata::CopyToCallerBuffer;
using userdata::GetProductSetting;

// Names the platform layer looks up as std::wstring, built once, as the
// library builds them once. The help-file names are in the library's source
// only; the same-answer check catches a floor that lost track of them.
inline const std::wstring kNone, kProductHelp = L"TRLVHELP", kHelp = L"HELP", kDefaultHelpFile = L"DefaultHelpFileName";
inline const auto kSettingNames = [] {
    std::array<std::wstring, TvUdSpecialFolder::kFolderCount> names;
    for (const auto& rule : userdata::kFolderRules)
        if (rule.source == userdata::FolderSource::Setting) names[rule.folder] = rule.name;
    return names;
}();

// The floors' path join: straight into the caller's buffer, at a length
// already known, after the separator the rule names (none when 0, or when
// the path is empty or ends with it). False when it does not fit.
inline bool Append(wchar_t* buffer, std::size_t& length, std::size_t capacity, std::wstring_view text,
                   wchar_t separator) {
    const bool separate = separator != 0 && length > 0 && buffer[length - 1] != separator;
    if (length + (separate ? 1 : 0) + text.size() >= capacity) return false;
    if (separate) buffer[length++] = separator;
    std::wmemcpy(buffer + length, text.data(), text.size());
    buffer[length += text.size()] = L'\0';
    return true;
}

// The platform layer's language and machine product root, copied.
inline unsigned int Language(wchar_t* buffer, unsigned long capacity) {
    return CopyToCallerBuffer(Roots::currentLanguageName(), buffer, capacity);
}
inline unsigned int MachineRoot(wchar_t* buffer, unsigned long capacity) {
    return CopyToCallerBuffer(Roots::productCultureSpecificRootName(), buffer, capacity);
}

// The help file: the user's profile's choice, else the product's default
// below the resource directory, which is reported by its length.
inline unsigned int HelpFile(wchar_t* buffer, unsigned long capacity) {
    const Pal::Settings::ReadOnlyContainer general = Pal::Settings::read().currentProfile(L"General");
    std::wstring fromProfile = general.getString(kProductHelp, kNone);
    if (fromProfile.empty()) fromProfile = general.getString(kHelp, kNone);
    if (!fromProfile.empty()) return CopyToCallerBuffer(fromProfile, buffer, capacity);
    const std::wstring fileName = GetProductSetting(L"", kDefaultHelpFile, kNone);
    const wchar_t separator = Pal::FileSystem::path_separator();
    std::size_t length = 0;
    const bool joined = Append(buffer, length, capacity, Pal::PackageUtils::resDir().c_str(), 0) && length > 0 &&
                        Append(buffer, length, capacity, L"Help", separator) &&
                        Append(buffer, length, capacity, fileName, separator);
    return joined ? static_cast<unsigned int>(length) : 0;
}

// "<program>CTXT.CHM" beside the help file, the program being the machine
// root's last component up to its last hyphen; reported by its length.
inline unsigned int ContextFile(wchar_t* buffer, unsigned long capacity) {
    const std::wstring_view root = Roots::productCultureSpecificRootName();
    const std::size_t hyphen = root.rfind(L'-');
    const std::size_t slash = root.rfind(L'\\', hyphen);
    if (hyphen == root.npos || slash == root.npos || HelpFile(buffer, capacity) == 0) return 0;
    const wchar_t* directoryEnd = std::wcsrchr(buffer, L'\\');
    std::size_t length = directoryEnd == nullptr ? 0 : static_cast<std::size_t>(directoryEnd + 1 - buffer);
    const bool joined = Append(buffer, length, capacity, root.substr(slash + 1, hyphen - slash - 1), 0) &&
                        Append(buffer, length, capacity, L"CTXT.CHM", 0);
    return joined ? static_cast<unsigned int>(length) : 0;
}

// The special folder by its rule in userdata::kFolderRules. Below the
// resource directory: the rule's sub-folder after the platform separator,
// then the language (after a backslash below a sub-folder); every such
// folder needs a language, used or not. Beside the help file: its directory,
// closing backslash kept, and the language. Else a settings value.
inline unsigned int SpecialFolder(TvUdSpecialFolder::Folders folder, wchar_t* buffer, std::size_t capacity) {
    const userdata::FolderRule* rule = userdata::FindFolderRule(folder);
    if (rule == nullptr) return 0;
    if (rule->source == userdata::FolderSource::Setting) {
        const unsigned int copied =
            CopyToCallerBuffer(GetProductSetting(L"", kSettingNames[folder], kNone).c_str(), buffer, capacity);
        if (copied != 0 || !rule->fallsBackToProductFolder) return copied;
        return SpecialFolder(TvUdSpecialFolder::ProductFolder, buffer, capacity);
    }
    const wchar_t separator = Pal::FileSystem::path_separator();
    const wchar_t* language = Roots::currentLanguageName();
    std::size_t length = 0;
    if (rule->source == userdata::FolderSource::Help) {
        wchar_t* slash = HelpFile(buffer, static_cast<unsigned long>(capacity)) ? std::wcsrchr(buffer, L'\\') : nullptr;
        if (slash == nullptr) return 0;
        length = static_cast<std::size_t>(slash + 1 - buffer);
        slash[1] = L'\0';
        const bool joined = !rule->withLanguage || Append(buffer, length, capacity, language, separator);
        return joined ? static_cast<unsigned int>(length + 1) : 0;
    }
    const bool joined =
        language[0] != L'\0' && Append(buffer, length, capacity, Pal::PackageUtils::resDir().c_str(), 0) &&
        length > 0 && (rule->name == nullptr || Append(buffer, length, capacity, rule->name, separator)) &&
        (!rule->withLanguage || Append(buffer, length, capacity, language, rule->name ? L'\\' : separator));
    return joined ? static_cast<unsigned int>(length + 1) : 0;
}

// The registry reads and file checks of one healthy installation pass over
// "<machine root>\UserData": the library's own COM server check, then for
// every listed product its per-user key, "LocalRootFolder", the folder's
// attributes and a read/write open. Returns the number of products that
// passed every check.
inline unsigned int InstallPass() {
    const std::wstring listPath = Roots::productCultureSpecificRootName() + std::wstring(L"\\UserData");
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
            userdata::RegistryGetValue(user.get(), L"LocalRootFolder", nullptr, nullptr, folder, &folderBytes) !=
                ERROR_SUCCESS ||
            GetFileAttributesW(folder) == INVALID_FILE_ATTRIBUTES)
            continue;
        const userdata::UniqueFile opened(CreateFileW(folder, GENERIC_READ | GENERIC_WRITE,
                                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        healthy += opened ? 1 : 0;
    }
    return healthy;
}

// "AutoMigrate" under `root`; nothing when the key or the value is missing.
inline std::optional<DWORD> Switch(HKEY hive, const wchar_t* root) {
    userdata::UniqueHkey key;
    DWORD value = 0, bytes = sizeof value;
    if (userdata::RegistryOpenKey(hive, root, 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS ||
        userdata::RegistryGetValue(key.get(), L"AutoMigrate", nullptr, nullptr, &value, &bytes) != ERROR_SUCCESS)
        return std::nullopt;
    return value;
}

// The probes of the steady automatic-migration state: the roamable root
// folder and its "DAP" marker, then "AutoMigrate" under the machine and the
// user product roots. 1 when the state is steady (marker present, machine
// switch on, user switch neither absent nor 1), as ProcessAutoMigrate
// always returns 1.
inline unsigned int AutoMigrateProbe() {
    wchar_t marker[1024];
    const unsigned int folder = SpecialFolder(TvUdSpecialFolder::RoamableRootFolder, marker, std::size(marker));
    std::size_t length = folder > 0 ? folder - 1 : 0;
    const bool markerThere = folder > 0 && GetFileAttributesW(marker) != INVALID_FILE_ATTRIBUTES &&
                             Append(marker, length, std::size(marker), L"DAP", L'\\') &&
                             GetFileAttributesW(marker) != INVALID_FILE_ATTRIBUTES;
    const std::optional<DWORD> machine = Switch(HKEY_LOCAL_MACHINE, Roots::productCultureSpecificRootName());
    const std::optional<DWORD> user = Switch(HKEY_CURRENT_USER, Roots::roamingRootName());
    return markerThere && machine.value_or(0) != 0 && user.value_or(1) != 1 ? 1 : 0;
}

}  // namespace udbench::floors
