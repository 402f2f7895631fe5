// The one reader of product settings values.
#pragma once

#include <string>

namespace userdata {

// The value `valueName` from the first readable settings container selected
// by `containerName` that holds it, even when the value stored there is
// empty; `defaultValue` when no container qualifies. `found`, when given,
// tells whether a container held the value at all: an empty result may be a
// value stored empty or no value.
std::wstring GetProductSetting(const wchar_t* containerName, const std::wstring& valueName,
                               const std::wstring& defaultValue, bool* found = nullptr);

}  // namespace userdata
