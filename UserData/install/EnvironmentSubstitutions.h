// Environment variables whose values stand for parts of paths, so that a
// path written to the registry can refer to %NAME% instead of one user's
// folder and follow the user's profile wherever it goes.
#pragma once

#include <string>
#include <vector>

namespace userdata {

struct EnvironmentSubstitution {
    std::wstring name;   // as recorded, without percent signs: "USERPROFILE"
    std::wstring value;  // the variable's value when recorded, lowercased
};

// Ordered by the length of the value, longest first, so that a replacement
// made in list order never cuts a longer value that contains a shorter one.
// Filled by the per-user data installation; empty until then.
[[nodiscard]] const std::vector<EnvironmentSubstitution>& EnvironmentSubstitutions();

// Appends the variable `name` with its current value lowercased (by the
// current locale; in the default locale only A to Z change), unless the
// variable is not set, and then restores the longest-first order.
void RecordEnvironmentVariable(const std::wstring& name);

}  // namespace userdata
