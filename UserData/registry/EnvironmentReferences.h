// Turning recorded folder values inside a text back into %NAME% references.
#pragma once

#include <string>
#include <vector>

#include "../install/EnvironmentSubstitutions.h"

namespace userdata {

// Lowercases `text` in place (the runtime's current locale), then replaces
// every occurrence of each recorded value by "%NAME%", in table order, left
// to right, never inside a reference just inserted. A value also matches
// where it only begins a longer folder name. Returns the number of
// references inserted.
int SubstituteEnvironmentVariables(std::wstring& text, const std::vector<EnvironmentSubstitution>& table);

// The same with the table the per-user data installation recorded.
int SubstituteEnvironmentVariables(std::wstring& text);

}  // namespace userdata
