// Decides whether a user's settings from an earlier release are migrated now,
// from the "AutoMigrate" switches under the machine and user product roots.
#include <windows.h>

#include "../include/UserData.h"
#include "../registry/RegistryFunctions.h"
#include "../registry/UniqueHkey.h"
#include "common/UniqueAny.h"
#include "DapMarker.h"
#include "MigratorLaunch.h"

namespace {

constexpr unsigned long kRootChars = 512;
constexpr wchar_t kSwitch[] = L"AutoMigrate";

// True from the call that created (or tried to create) the marker file
// until the next call.
bool dapMarkerCreated = false;

// Reads the 32-bit switch from the key at `path` under `hive`. Nothing when
// the key does not open; `status` tells whether the value itself was read.
struct SwitchRead {
    bool keyOpened = false;
    LSTATUS status = ERROR_FILE_NOT_FOUND;
    DWORD value = 0;
};

SwitchRead ReadSwitch(HKEY hive, const wchar_t* path) {
    SwitchRead read;
    userdata::UniqueHkey key;
    if (userdata::RegistryOpenKey(hive, path, 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS) return read;
    read.keyOpened = true;
    DWORD type = 0;
    DWORD bytes = sizeof read.value;
    read.status = userdata::RegistryGetValue(key.get(), kSwitch, nullptr, &type, &read.value, &bytes);
    return read;
}

void WriteUserSwitch(const wchar_t* userRoot, DWORD value) {
    userdata::UniqueHkey key;
    if (userdata::RegistryOpenKey(HKEY_CURRENT_USER, userRoot, 0, KEY_SET_VALUE, key.put()) != ERROR_SUCCESS)
        return;
    (void)userdata::RegistrySetValue(key.get(), kSwitch, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                                     sizeof value);
}

// The migrator needs the .NET runtime; without it nothing is started and
// the user's switch stays as it is, so a later start tries again. Only the
// system's own copy counts: a "Mscoree.dll" planted beside the host or in
// the current directory is never loaded.
bool DotNetRuntimePresent() {
    const userdata::UniqueModule runtime(LoadLibraryExW(L"Mscoree.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    return static_cast<bool>(runtime);
}

void Migrate(const wchar_t* userRoot) {
    if (!DotNetRuntimePresent()) return;
    if (userdata::RunMigratorAndWait(dapMarkerCreated)) return;
    WriteUserSwitch(userRoot, 0);
}

}  // namespace

bool ProcessAutoMigrate() {
    // An empty or overlong root path leaves its buffer empty; such a root
    // names no key, so it counts as a key that cannot be opened.
    wchar_t machineRoot[kRootChars] = {};
    const bool haveMachineRoot = tvudGetMachineProductRegistryRootKey(machineRoot, kRootChars) != 0;

    dapMarkerCreated = userdata::CreateDapMarker();

    if (haveMachineRoot) {
        const SwitchRead machine = ReadSwitch(HKEY_LOCAL_MACHINE, machineRoot);
        if (machine.keyOpened && (machine.status != ERROR_SUCCESS || machine.value == 0)) return true;
    }

    wchar_t userRoot[kRootChars] = {};
    if (tvudGetUserProductRegistryRootKey(userRoot, kRootChars) == 0) return true;
    const SwitchRead user = ReadSwitch(HKEY_CURRENT_USER, userRoot);
    if (!user.keyOpened) return true;

    if (user.status != ERROR_SUCCESS) {
        WriteUserSwitch(userRoot, 1);  // first start for this user
    } else if (user.value != 1) {
        if (dapMarkerCreated) userdata::StartMigratorForMarker();
        return true;
    }
    Migrate(userRoot);
    return true;
}
