// The automatic migration's switches, marker, runtime and migrator, and what
// the next ProcessAutoMigrate would do: the library's own decision, run dry.
#include <UserData.h>
#include <windows.h>

#include "common/Utf.h"
#include "install/DapMarker.h"
#include "install/MigrationDecision.h"
#include "install/MigrationDryRun.h"
#include "install/MigratorCommand.h"

#include "Checks.h"
#include "VersionResource.h"

namespace udinfo {

using userdata::WideToUtf8;

namespace {

// The root key paths as ProcessAutoMigrate fetches them: empty when the
// platform layer names none, or one too long for the buffer.
struct MigrationRoots {
    wchar_t machine[userdata::kMigrationRootChars] = {};
    wchar_t user[userdata::kMigrationRootChars] = {};
    MigrationRoots() {
        (void)tvudGetMachineProductRegistryRootKey(machine, userdata::kMigrationRootChars);
        (void)tvudGetUserProductRegistryRootKey(user, userdata::kMigrationRootChars);
    }
};

std::string SwitchOn(const std::string& key) {
    return "reg add \"" + key + "\" /v AutoMigrate /t REG_DWORD /d 1 /f";
}

Check MachineSwitch(const wchar_t* root) {
    constexpr char kName[] = "migration: machine switch";
    if (root[0] == L'\0') return Ok(kName, "no machine product root: no machine-wide switch");
    const userdata::SwitchRead read = userdata::ReadSwitch(HKEY_LOCAL_MACHINE, root);
    if (!read.keyOpened) return Ok(kName, "no machine product root key: no machine-wide switch");
    const std::string key = MachineKeyHive(root) + "\\" + WideToUtf8(root);
    if (read.status != ERROR_SUCCESS || read.value == 0) {
        const std::string found = read.status != ERROR_SUCCESS ? "absent or unreadable" : "0";
        return Warning(kName,
                       "AutoMigrate is " + found + " below " + key + ": automatic migration is off for every user",
                       "switch it on: " + SwitchOn(key));
    }
    return Ok(kName, "AutoMigrate is " + std::to_string(read.value) + " below " + key + ": on");
}

// Whether the user's switch still asks for a migration: absent or 1.
bool MigrationPending(const userdata::SwitchRead& user) {
    return user.keyOpened && (user.status != ERROR_SUCCESS || user.value == 1);
}

Check UserSwitch(const wchar_t* root, const userdata::SwitchRead& read) {
    constexpr char kName[] = "migration: user switch";
    if (root[0] == L'\0' || !read.keyOpened)
        return Warning(kName, "no user product root key: nothing migrates", "see registry: user product root");
    const std::string key = "HKCU\\" + WideToUtf8(root);
    if (read.status != ERROR_SUCCESS)
        return Ok(kName, "AutoMigrate absent below " + key + ": this user's first start migrates");
    const std::string found = "AutoMigrate is " + std::to_string(read.value) + " below " + key;
    if (read.value == 1) return Ok(kName, found + ": a migration is pending");
    if (read.value != 0) return Ok(kName, found + ": this user's migration is settled");
    return Warning(kName, found + ": a migration failed or was declined, none follows",
                   "to migrate again: " + SwitchOn(key));
}

Check Marker() {
    constexpr char kName[] = "migration: marker file";
    const userdata::DapMarker marker = userdata::FindDapMarker();
    const std::string path = WideToUtf8(marker.path);
    switch (marker.state) {
    case userdata::DapMarker::NoRoamableFolder:
        return Warning(kName, "no roamable root folder, so no marker can be made", "see folders: RoamableRootFolder");
    case userdata::DapMarker::Present: return Ok(kName, path + " is there");
    case userdata::DapMarker::Due: return Ok(kName, path + " is not there yet: the next start makes it");
    }
    return {};
}

Check Runtime(bool pending) {
    constexpr char kName[] = "migration: .NET runtime";
    if (userdata::DotNetRuntimePresent()) return Ok(kName, "Mscoree.dll loads from the system folder");
    const std::string detail = "Mscoree.dll does not load from the system folder: the migrator cannot run";
    constexpr char kFix[] = "install the .NET Framework";
    return pending ? Problem(kName, detail + ", and a pending migration waits", kFix) : Warning(kName, detail, kFix);
}

Check Migrator(const std::optional<std::wstring>& migrator, const std::wstring& library) {
    constexpr char kName[] = "migration: migrator";
    if (!migrator) {
        return Problem(kName, "no migrator path can be formed beside " + WideToUtf8(library),
                       "install UserData.dll in a folder with a shorter path");
    }
    const DWORD attributes = GetFileAttributesW(migrator->c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return Problem(kName,
                       WideToUtf8(*migrator) + " is missing: UserData.dll starts the migrator from its own folder",
                       "put vtmigrator.exe beside UserData.dll");
    }
    return Ok(kName, WideToUtf8(*migrator));
}

Check NextRun(const MigrationRoots& roots, const std::optional<std::wstring>& migrator) {
    constexpr char kName[] = "migration: next ProcessAutoMigrate";
    userdata::MigrationDryRun dryRun(migrator, tvudGetCurrentProduct, tvudGetCurrentLanguage);
    userdata::DecideAutoMigrate(roots.machine, roots.user, dryRun);
    std::string steps = dryRun.markerCreated ? "makes the DAP marker; " : "";
    bool givesUp = false;
    for (DWORD value : dryRun.userSwitchWrites) {
        if (value == 1) steps += "sets the user's AutoMigrate to 1; ";
        givesUp = givesUp || value == 0;
    }
    if (dryRun.start) {
        steps += "starts vtmigrator.exe " + WideToUtf8(dryRun.start->options) +
                 (dryRun.start->waited ? " and waits for it; " : " without waiting; ");
    }
    if (givesUp) steps += "sets the user's AutoMigrate to 0, since the migrator cannot be started; ";
    if (steps.empty()) return Ok(kName, "does nothing");
    steps.resize(steps.size() - 2);
    if (givesUp) return Problem(kName, steps, "see migration: migrator, before the product starts again");
    return Ok(kName, steps);
}

}  // namespace

void CheckMigration(Checks& checks) {
    const MigrationRoots roots;
    const userdata::SwitchRead user = roots.user[0] == L'\0' ? userdata::SwitchRead{}
                                                             : userdata::ReadSwitch(HKEY_CURRENT_USER, roots.user);
    const std::wstring library = LoadedModulePath(L"UserData.dll");
    const auto migrator = userdata::MigratorPathBeside(library.c_str());
    checks.push_back(MachineSwitch(roots.machine));
    checks.push_back(UserSwitch(roots.user, user));
    checks.push_back(Marker());
    checks.push_back(Runtime(MigrationPending(user)));
    checks.push_back(Migrator(migrator, library));
    checks.push_back(NextRun(roots, migrator));
}

}  // namespace udinfo
