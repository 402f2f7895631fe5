// The one reader of product settings values.
#pragma once

#include <string>

namespace userdata {

// The value `valueName` from the first readable settings container selected
// by `containerName` that holds it, even when the value stored there is
// empty; `defaultValue` when no container qualifies.
std::wstring GetProductSetting(const wchar_t* containerName, const wchar_t* valueName,
                               const std::wstring& defaultValue);

// The same for a name the caller already holds as a string (the platform
// layer looks names up as std::wstring): fixed names are built once instead
// of on every lookup.
std::wstring GetProductSetting(const wchar_t* containerName, const std::wstring& valueName,
                               const std::wstring& defaultValue);

// The same, telling in `found` whether a container held the value at all:
// an empty result may be a value stored empty or no value.
std::wstring GetProductSetting(const wchar_t* containerName, const std::wstring& valueName,
                               const std::wstring& defaultValue, bool& found);

}  // namespace userdata
