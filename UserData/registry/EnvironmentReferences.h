// Environment variables whose values stand for parts of paths, and turning
// those values inside a text back into %NAME% references, so that a path
// written to the registry follows the user's profile wherever it goes.
// The per-user data installation records the variables; the registry string
// writer reads them.
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
// Empty until a variable is recorded. A plain process-wide table: recording
// and reading it are never done at once.
[[nodiscard]] const std::vector<EnvironmentSubstitution>& EnvironmentSubstitutions();

// Appends the variable `name` with its current value lowercased (by the
// current locale; in the default locale only A to Z change), unless the
// variable is not set, and then restores the longest-first order.
void RecordEnvironmentVariable(const std::wstring& name);

// Lowercases `text` in place (the runtime's current locale), then replaces
// every occurrence of each recorded value by "%NAME%", in table order, left
// to right, never inside a reference just inserted. A value also matches
// where it only begins a longer folder name. Returns the number of
// references inserted.
int SubstituteEnvironmentVariables(std::wstring& text, const std::vector<EnvironmentSubstitution>& table);

// The same with the recorded table.
int SubstituteEnvironmentVariables(std::wstring& text);

}  // namespace userdata
