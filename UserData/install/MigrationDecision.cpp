#include "MigrationDecision.h"

#include "../registry/RegistryFunctions.h"
#include "../registry/UniqueHkey.h"
#include "common/UniqueAny.h"

namespace userdata {

namespace {

// The migrator needs the .NET runtime; without it nothing is started and
// the user's switch stays as it is, so a later start tries again.
void Migrate(const wchar_t* userRoot, bool markerCreated, MigrationActions& actions) {
    if (!DotNetRuntimePresent()) return;
    if (actions.runMigratorAndWait(markerCreated)) return;
    actions.writeUserSwitch(userRoot, 0);
}

}  // namespace

SwitchRead ReadSwitch(HKEY hive, const wchar_t* path) {
    SwitchRead read;
    UniqueHkey key;
    if (RegistryOpenKey(hive, path, 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS) return read;
    read.keyOpened = true;
    DWORD type = 0;
    DWORD bytes = sizeof read.value;
    read.status = RegistryGetValue(key.get(), kAutoMigrateValue, nullptr, &type, &read.value, &bytes);
    return read;
}

void WriteUserSwitch(const wchar_t* userRoot, DWORD value) {
    UniqueHkey key;
    if (RegistryOpenKey(HKEY_CURRENT_USER, userRoot, 0, KEY_SET_VALUE, key.put()) != ERROR_SUCCESS) return;
    (void)RegistrySetValue(key.get(), kAutoMigrateValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                           sizeof value);
}

bool DotNetRuntimePresent() {
    const UniqueModule runtime(LoadLibraryExW(L"Mscoree.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    return static_cast<bool>(runtime);
}

void DecideAutoMigrate(const wchar_t* machineRoot, const wchar_t* userRoot, MigrationActions& actions) {
    // Before any registry test: the first call that finds the roamable
    // folder in place makes the marker, whatever the switches say.
    const bool markerCreated = actions.createDapMarker();

    // An empty root names no key, so it counts as a key that cannot be opened.
    if (machineRoot[0] != L'\0') {
        const SwitchRead machine = ReadSwitch(HKEY_LOCAL_MACHINE, machineRoot);
        if (machine.keyOpened && (machine.status != ERROR_SUCCESS || machine.value == 0)) return;
    }

    if (userRoot[0] == L'\0') return;
    const SwitchRead user = ReadSwitch(HKEY_CURRENT_USER, userRoot);
    if (!user.keyOpened) return;

    if (user.status != ERROR_SUCCESS) {
        actions.writeUserSwitch(userRoot, 1);  // first start for this user
    } else if (user.value != 1) {
        if (markerCreated) actions.startMigratorForMarker();
        return;
    }
    Migrate(userRoot, markerCreated, actions);
}

}  // namespace userdata
