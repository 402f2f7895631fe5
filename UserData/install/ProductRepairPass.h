// The reconfiguration pass: has the Windows Installer repair the per-user
// part of each installed product that the current user lacks or cannot use.
#pragma once

#include <windows.h>

#include "RepairActions.h"

namespace userdata {

// Walks the values of `userDataKey` (open with at least KEY_QUERY_VALUE) in
// index order. Each names an installed product by its Installer product code
// and holds the path, below HKEY_CURRENT_USER, of that product's per-user
// key; the default value is skipped. For each product, in this order:
//   1. a missing per-user key marks a secondary installation and has the
//      Installer lay the per-user data down (mode "uos");
//   2. when `repairComServers` and the COM servers are still registered with
//      absolute paths, the machine's registration is rewritten (mode "m");
//      that run's status is not kept;
//   3. a per-user key named "...KPM-<suffix>" ends the checks here;
//   4. a missing "LocalRootFolder" folder is reinstalled (mode "p");
//   5. a folder that cannot be opened for reading and writing gets its
//      per-user key deleted and rewritten (mode "u").
// A failure ends the work on that product only. Returns the status of the
// last value (0 when there are none): the Installer's status, a registry
// error, or 0. When the key cannot be examined, or the enumeration buffers
// cannot be had (ERROR_OUTOFMEMORY), returns that at once without running
// the Installer. Every Installer run, every deletion and every question
// about the machine between two runs go through `actions`.
[[nodiscard]] unsigned int ReconfigureUserData(HKEY userDataKey, bool repairComServers, RepairActions& actions);

}  // namespace userdata
