// The program name, cut out of the machine product root key path: its last
// component up to the last hyphen (TRLV of ...\R27.0\TRLV-7001:409).
#pragma once

#include <optional>
#include <string_view>

namespace userdata {

// A view into the platform layer's string, valid until the next
// initialisation; nothing when the root has no such name. The name may be
// empty (a root ending in "\-7001").
[[nodiscard]] std::optional<std::wstring_view> ProgramName();

}  // namespace userdata
