// Whether the product's in-process COM servers are registered by relative
// paths. A server registered with a drive in its path stops working for the
// user once the product moves, and the machine's registration must then be
// rewritten by the Installer.
#pragma once

#include <array>
#include <string>

namespace userdata {

// What the registry holds for one class's server.
struct ComServerRegistration {
    bool registered = false;  // its InProcServer32 key under HKEY_CLASSES_ROOT opens
    bool readable = false;    // the key's default value reads as REG_SZ or REG_EXPAND_SZ text
    std::wstring path;        // that text, up to its first NUL
};

// Reads the registration of the class `classId`, its identifier in braces.
[[nodiscard]] ComServerRegistration ReadComServerRegistration(const std::wstring& classId);

// Whether a class's registration passes the check:
//   - its InProcServer32 key under HKEY_CLASSES_ROOT does not open: true for
//     an optional class, false for a `required` one;
//   - the key's default value cannot be read as REG_SZ or REG_EXPAND_SZ
//     text (absent, another type, unreadable): false;
//   - otherwise true exactly when the text holds no colon. It is not
//     expanded: a leading %VARIABLE%, a UNC path and a path from the root of
//     the current drive all count as relative.
[[nodiscard]] bool ComServerPathIsRelative(const ComServerRegistration& registration, bool required);

// The product's in-process COM classes, in the order the check visits them.
struct ComServerClass {
    std::wstring classId;  // in braces; empty when COM could not format it
    bool required;
};
[[nodiscard]] std::array<ComServerClass, 3> ComServerClasses();

// True when the product's required server and each of its optional servers
// that is registered at all have relative paths. Stops at the first class
// that fails; reads the registry only.
[[nodiscard]] bool ComServerPathsAreRelative();

}  // namespace userdata
