// What the per-user data installation remembers for the rest of the process.
// Plain variables: the host calls the installation and the questions about
// it one at a time, never at once.
#pragma once

namespace userdata {

// Set by a reconfiguration pass that found an installed product without its
// per-user key for this user (the product came to this user as a secondary
// installation); never cleared.
extern bool s_secondaryInstall;

// Set by the first successful installation call, just before the user's
// profile folder is recorded, so that the recording is tried once per
// process even when the variable turns out not to be set.
extern bool s_environmentRecorded;

}  // namespace userdata
