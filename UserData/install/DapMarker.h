// The "DAP" marker file in the user's roamable root folder, by which the
// automatic migration recognises the first call that finds that folder.
#pragma once

#include <optional>
#include <string>

namespace userdata {

// The marker's path when the roamable root folder exists and holds no
// "DAP" entry yet (a folder named DAP counts); nothing otherwise.
[[nodiscard]] std::optional<std::wstring> DueDapMarker();

// Creates the empty marker file when it is due. True when it was due, even
// if the file then could not be created. Never throws.
[[nodiscard]] bool CreateDapMarker() noexcept;

}  // namespace userdata
