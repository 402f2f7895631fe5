// The automatic migration's export: the decision with the changes it makes
// carried out.
#include <windows.h>

#include "../include/UserData.h"
#include "DapMarker.h"
#include "MigrationDecision.h"
#include "MigratorLaunch.h"

namespace {

class MigrationThatChanges final : public userdata::MigrationActions {
public:
    bool createDapMarker() override { return userdata::CreateDapMarker(); }
    void writeUserSwitch(const wchar_t* userRoot, DWORD value) override { userdata::WriteUserSwitch(userRoot, value); }
    bool runMigratorAndWait(bool markerCreated) override { return userdata::RunMigratorAndWait(markerCreated); }
    void startMigratorForMarker() override { userdata::StartMigratorForMarker(); }
};

}  // namespace

bool ProcessAutoMigrate() {
    // An empty or overlong root path leaves its buffer empty.
    wchar_t machineRoot[userdata::kMigrationRootChars] = {};
    (void)tvudGetMachineProductRegistryRootKey(machineRoot, userdata::kMigrationRootChars);
    wchar_t userRoot[userdata::kMigrationRootChars] = {};
    (void)tvudGetUserProductRegistryRootKey(userRoot, userdata::kMigrationRootChars);
    MigrationThatChanges actions;
    userdata::DecideAutoMigrate(machineRoot, userRoot, actions);
    return true;
}
