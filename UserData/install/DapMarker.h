#pragma once

namespace userdata {

// Creates the empty marker file "DAP" in the user's roamable root folder
// when the folder exists and holds no such entry yet (a folder named DAP
// counts). True when it found the marker missing, even if the file then
// could not be created. Never throws.
[[nodiscard]] bool CreateDapMarker() noexcept;

}  // namespace userdata
