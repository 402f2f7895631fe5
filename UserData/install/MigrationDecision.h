// Whether a user's settings from an earlier release are migrated now, from
// the "AutoMigrate" switches under the machine and user product roots, the
// marker file and the .NET runtime. What the decision changes and starts
// goes through MigrationActions, so that a dry run follows the very same
// decisions and changes nothing.
#pragma once

#include <windows.h>

namespace userdata {

// The root key paths are fetched into buffers of this many characters; a
// root that does not fit names no key.
constexpr unsigned long kMigrationRootChars = 512;

// The switch's value name below the machine and the user product roots.
inline constexpr wchar_t kAutoMigrateValue[] = L"AutoMigrate";

class MigrationActions {
public:
    // Creates the marker file when it is due; true when it was due.
    [[nodiscard]] virtual bool createDapMarker() = 0;
    // Writes the user's switch below HKEY_CURRENT_USER\<userRoot>.
    virtual void writeUserSwitch(const wchar_t* userRoot, DWORD value) = 0;
    // Starts the migrator and waits for it; true exactly when it exited with 0.
    [[nodiscard]] virtual bool runMigratorAndWait(bool markerCreated) = 0;
    // Starts the migrator for the marker alone and does not wait.
    virtual void startMigratorForMarker() = 0;

protected:
    ~MigrationActions() = default;
};

// "AutoMigrate" as read below `path` under `hive`.
struct SwitchRead {
    bool keyOpened = false;
    LSTATUS status = ERROR_FILE_NOT_FOUND;  // of reading the value, when the key opened
    DWORD value = 0;
};
[[nodiscard]] SwitchRead ReadSwitch(HKEY hive, const wchar_t* path);

// Writes "AutoMigrate" below HKEY_CURRENT_USER\<userRoot>, if that key opens.
void WriteUserSwitch(const wchar_t* userRoot, DWORD value);

// Whether the system's own "Mscoree.dll" loads, which the migrator needs. A
// copy planted beside the host or in the current directory never counts.
[[nodiscard]] bool DotNetRuntimePresent();

// One ProcessAutoMigrate. `machineRoot` and `userRoot` are the product's
// root key paths, empty when there are none.
void DecideAutoMigrate(const wchar_t* machineRoot, const wchar_t* userRoot, MigrationActions& actions);

}  // namespace userdata
