// Whether the product's in-process COM servers are registered by relative
// paths. A server registered with a drive in its path stops working for the
// user once the product moves, and the machine's registration must then be
// rewritten by the Installer.
#pragma once

#include <string>

namespace userdata {

// The answer for one class, `classId` being its identifier in braces:
//   - its InProcServer32 key under HKEY_CLASSES_ROOT does not open: true for
//     an optional class, false for a `required` one;
//   - the key's default value cannot be read as REG_SZ or REG_EXPAND_SZ
//     text (absent, another type, unreadable): false;
//   - otherwise true exactly when the text holds no colon. It is not
//     expanded: a leading %VARIABLE%, a UNC path and a path from the root of
//     the current drive all count as relative.
[[nodiscard]] bool CheckCOMServerRelativePath(const std::wstring& classId, bool required);

// True when the product's required server and each of its optional servers
// that is registered at all have relative paths. Stops at the first class
// that fails; reads the registry only.
[[nodiscard]] bool ComServerPathsAreRelative();

}  // namespace userdata
