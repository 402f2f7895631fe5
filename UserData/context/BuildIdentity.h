// Which build of the library this is: its version and a hash of the sources
// it was built from, both made at build time. UserData.dll carries the same
// two in its version resource ("FileVersion", "BuildIdentity"), so a tool
// that links these internals can tell whether the UserData.dll it loaded is
// the build of its own copy of the logic.
#pragma once

namespace userdata {

[[nodiscard]] const wchar_t* BuildVersion();   // "1.0.0.0"
[[nodiscard]] const wchar_t* BuildIdentity();  // 16 hex digits

}  // namespace userdata
