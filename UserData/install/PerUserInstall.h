// One installation call: finds the products' UserData key below the machine
// product root, runs the reconfiguration pass over it, and records the
// user's profile folder after the first pass that succeeds.
#pragma once

#include "MsiBinding.h"
#include "RepairActions.h"

namespace userdata {

// The longest machine product root for which "\UserData" and the
// terminator still fit the 512-character key path.
constexpr unsigned int kMaxMachineRootChars = 502;

// The key below the machine product root that lists the installed products
// with per-user data: value name = product code, data = per-user key path.
inline constexpr wchar_t kUserDataSubKey[] = L"\\UserData";

// `machineRoot` is the machine product root key path relative to
// HKEY_LOCAL_MACHINE (null counts as empty). Returns:
//   - ERROR_FILE_NOT_FOUND for an empty root: such a product registers no
//     per-user data anywhere;
//   - ERROR_FILENAME_EXCED_RANGE for a root longer than
//     kMaxMachineRootChars: the key path cannot be formed;
//   - the open's status when "<root>\UserData" opens neither below
//     HKEY_LOCAL_MACHINE nor, when it is missing there, below
//     HKEY_CURRENT_USER (ERROR_FILE_NOT_FOUND when no product is
//     registered, ERROR_ACCESS_DENIED when the machine's key is closed to
//     this user);
//   - otherwise the status of the reconfiguration pass.
// No key is opened and nothing is recorded in the first two cases; the
// environment is recorded only after a pass that returned 0. Every Installer
// run goes through Installer(`installer`).
[[nodiscard]] unsigned int InstallUserDataUnder(const wchar_t* machineRoot,
                                                const InstallerFunctions* installer = nullptr);

// The same pass with the same statuses, every change it makes through
// `actions`, and nothing recorded: what a dry run of InstallUserDataUnder
// follows.
[[nodiscard]] unsigned int ReconfigureProductsUnder(const wchar_t* machineRoot, RepairActions& actions);

}  // namespace userdata
