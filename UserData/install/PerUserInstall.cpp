#include "PerUserInstall.h"

#include <windows.h>

#include <cwchar>
#include <iterator>

#include "../context/CallerBuffer.h"
#include "../registry/EnvironmentReferences.h"
#include "../registry/RegistryFunctions.h"
#include "../registry/UniqueHkey.h"
#include "ProductRepairPass.h"

namespace userdata {

namespace {

constexpr unsigned int kKeyPathChars = 512;
static_assert(kMaxMachineRootChars + std::size(kUserDataSubKey) <= kKeyPathChars);

// Set by the first successful installation call, just before the profile
// folder is recorded, so the recording is tried once per process even when
// the variable turns out not to be set.
bool environmentRecorded = false;

// The profile folder is what the registry string writer puts back as
// %USERPROFILE%, so that stored paths follow the user.
void RecordEnvironmentOnce() {
    if (environmentRecorded) return;
    environmentRecorded = true;
    RecordEnvironmentVariable(L"USERPROFILE");
}

// The status of the pass over the products listed at `keyPath`, or the
// open's status when the key does not open. The key is closed again before
// this returns.
[[nodiscard]] unsigned int ReconfigureProductsListedAt(const wchar_t* keyPath, RepairActions& actions) {
    UniqueHkey userDataKey;
    const LSTATUS opened = RegistryOpenKey(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_QUERY_VALUE, userDataKey.put());
    if (opened != ERROR_SUCCESS) return static_cast<unsigned int>(opened);
    // Asked once up front: when the servers are in order, no product needs
    // the machine's registration rewritten during this pass, whatever the
    // Installer changes later in it.
    const bool serversRelative = actions.comServerPathsAreRelative();
    return ReconfigureUserData(userDataKey.get(), !serversRelative, actions);
}

}  // namespace

unsigned int ReconfigureProductsUnder(const wchar_t* machineRoot, RepairActions& actions) {
    if (machineRoot == nullptr || machineRoot[0] == L'\0') return ERROR_FILE_NOT_FOUND;
    if (std::wcslen(machineRoot) > kMaxMachineRootChars) return ERROR_FILENAME_EXCED_RANGE;

    wchar_t keyPath[kKeyPathChars] = {};
    (void)CopyToCallerBuffer(machineRoot, keyPath, kKeyPathChars);
    (void)wcscat_s(keyPath, kUserDataSubKey);
    return ReconfigureProductsListedAt(keyPath, actions);
}

unsigned int InstallUserDataUnder(const wchar_t* machineRoot, const InstallerFunctions* installer) {
    InstallerActions actions(installer);
    const unsigned int status = ReconfigureProductsUnder(machineRoot, actions);
    if (status == ERROR_SUCCESS) RecordEnvironmentOnce();
    return status;
}

}  // namespace userdata
