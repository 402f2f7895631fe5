// The one reader of product settings values.
#pragma once

#include <string>

namespace userdata {

// The value `valueName` from the first readable settings container selected
// by `containerName` that holds it, even when the value stored there is
// empty; `defaultValue` when no container qualifies.
std::wstring GetProductSetting(const wchar_t* containerName, const wchar_t* valueName,
                               const std::wstring& defaultValue);

}  // namespace userdata
