// Starting the settings migrator, vtmigrator.exe beside this library.
#pragma once

namespace userdata {

// Starts the migrator with "/a", the current product and language and, when
// `markerCreated`, "/dap ", and waits for it. True exactly when it ran and
// exited with status 0. An option string or migrator path that would not fit
// its fixed buffer starts nothing and counts as a failed run: a cut command
// line would ask the migrator for something else.
[[nodiscard]] bool RunMigratorAndWait(bool markerCreated);

// Starts the migrator with "/dap" alone and does not wait for it.
void StartMigratorForMarker();

}  // namespace userdata
