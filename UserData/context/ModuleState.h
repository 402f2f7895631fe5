// What the library knows about its own loading.
#pragma once

namespace userdata {

// Set by the process-attach notification and never cleared. It is handed to
// the platform layer at initialisation, which may treat a call made before
// the library was attached differently.
void MarkAttached();
[[nodiscard]] bool IsAttached();

}  // namespace userdata
