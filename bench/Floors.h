// Each export's floor: the platform, registry and file calls the export makes,
// made directly in the same order, the answer put together straight in the
// caller's buffer. Names come from the library's own tables and headers; the
// program name, which no table holds, from one call of the export before the
// timing. A floor returns what its export returns and, like it, is a call.
#pragma once

#include <UserData.h>

#include <cwchar>
#include <iterator>
#include <string>
#include <string_view>

#include "context/CallerBuffer.h"
#include "context/ProductSettings.h"
#include "folders/FolderResolution.h"
#include "install/ComServerPathCheck.h"
#include "install/DapMarker.h"
#include "install/MigrationDecision.h"
#include "install/PerUserInstall.h"
#include "install/RepairActions.h"
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

using userdata::OptionalPiece;

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
    const std::wstring_view resDir = Pal::PackageUtils::resDir().native();
    if (resDir.empty()) return 0;
    const wchar_t first = userdata::SeparatorAfter(resDir), second = Pal::FileSystem::path_separator();
    const unsigned int copied = CopyToCallerBuffer(
        {resDir, OptionalPiece(first), userdata::kHelpSubFolder, OptionalPiece(second), fileName}, buffer, capacity);
    return copied == 0 ? 0 : copied - 1;
}

// The help file's directory, the program name and the suffix, by its length.
[[gnu::noinline]] inline unsigned int ContextFile(wchar_t* buffer, unsigned long capacity) {
    if (HelpFile(buffer, capacity) == 0 || Roots::productCultureSpecificRootName()[0] == L'\0') return 0;
    const wchar_t* slash = std::wcsrchr(buffer, userdata::kHelpFolderEnd);
    const std::size_t directory = slash == nullptr ? 0 : static_cast<std::size_t>(slash + 1 - buffer);
    const unsigned int copied =
        CopyToCallerBuffer({programName, userdata::kContextHelpSuffix}, buffer + directory, capacity - directory);
    return copied == 0 ? 0 : static_cast<unsigned int>(directory + copied - 1);
}

// The special folder, put together the one way the library puts every
// folder's answer together: what the export adds is its call alone.
[[gnu::noinline]] inline unsigned int SpecialFolder(TvUdSpecialFolder::Folders folder, wchar_t* buffer,
                                                    std::size_t capacity) {
    return userdata::resolution::CopyFolderToCallerBuffer(folder, buffer, capacity);
}

// One healthy installation pass: the product list, the COM server check, then
// per product its key, local root folder value, the folder's attributes and
// the pass's own read/write open. Returns how many passed every check.
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
        wchar_t name[256], userKeyPath[1024];
        DWORD nameChars = 256, dataBytes = sizeof userKeyPath - sizeof(wchar_t);
        if (userdata::RegistryEnumValue(list.get(), index, name, &nameChars, nullptr, nullptr,
                                        reinterpret_cast<BYTE*>(userKeyPath), &dataBytes) != ERROR_SUCCESS ||
            name[0] == L'\0')
            continue;
        userKeyPath[dataBytes / sizeof(wchar_t)] = L'\0';
        userdata::LocalRootFolder folder;
        if (userdata::ReadUserKey(userKeyPath, folder) == ERROR_SUCCESS && folder.present &&
            userdata::FolderExists(folder.path))
            healthy += userdata::FolderOpensForReadWrite(folder.path) ? 1 : 0;
    }
    return healthy;
}

// The probes of the steady migration state: the roamable root folder and its
// marker, the machine's and the user's switch. 1 when steady (marker present,
// machine switch on, user switch neither absent nor 1), as ProcessAutoMigrate.
[[gnu::noinline]] inline unsigned int AutoMigrateProbe() {
    wchar_t marker[1024];
    const unsigned int folder = SpecialFolder(TvUdSpecialFolder::RoamableRootFolder, marker, std::size(marker));
    const bool markerThere = folder > 0 && GetFileAttributesW(marker) != INVALID_FILE_ATTRIBUTES &&
                             CopyToCallerBuffer(userdata::kDapMarkerName, marker + folder - 1,
                                                std::size(marker) - (folder - 1)) &&
                             GetFileAttributesW(marker) != INVALID_FILE_ATTRIBUTES;
    const auto machine = userdata::ReadSwitch(HKEY_LOCAL_MACHINE, Roots::productCultureSpecificRootName());
    const auto user = userdata::ReadSwitch(HKEY_CURRENT_USER, Roots::roamingRootName());
    const bool machineOn = machine.keyOpened && machine.status == ERROR_SUCCESS && machine.value != 0;
    return markerThere && machineOn && user.keyOpened && user.status == ERROR_SUCCESS && user.value != 1 ? 1 : 0;
}

}  // namespace udbench::floors
