// The installation subsystem's exports: the per-user data installation, the
// install-kind question it answers, and the COM server check it relies on.
#include <string>

#include "../include/UserData.h"
#include "ComServerPathCheck.h"
#include "PerUserInstall.h"
#include "ProductRepairPass.h"

namespace {

// The machine product root exactly as tvudGetMachineProductRegistryRootKey
// hands it out, whole: a root too long for the key path must be refused as
// too long, not mistaken for a missing one.
std::wstring MachineProductRoot() {
    const unsigned int needed = tvudGetMachineProductRegistryRootKey(nullptr, 0);
    if (needed == 0) return {};
    std::wstring root(needed, L'\0');
    if (tvudGetMachineProductRegistryRootKey(root.data(), needed) == 0) return {};
    root.resize(needed - 1);
    return root;
}

}  // namespace

unsigned int InstallUserData() { return userdata::InstallUserDataUnder(MachineProductRoot().c_str()); }

bool tvudIsSecondaryInstall() { return userdata::SecondaryInstallFound(); }

bool CheckCOMServerRelativePaths() { return userdata::ComServerPathsAreRelative(); }
