#include "EnvironmentReferences.h"

#include <windows.h>

#include <algorithm>
#include <string.h>

namespace userdata {

namespace {

std::vector<EnvironmentSubstitution> substitutions;

// The variable's value, or nothing when it is not set. A variable set to the
// empty string is set: its value is "".
bool ReadEnvironmentVariable(const std::wstring& name, std::wstring& value) {
    const DWORD needed = GetEnvironmentVariableW(name.c_str(), nullptr, 0);
    if (needed == 0) return false;
    std::wstring buffer(needed, L'\0');
    SetLastError(ERROR_SUCCESS);
    const DWORD copied = GetEnvironmentVariableW(name.c_str(), buffer.data(), needed);
    if (copied == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND) return false;  // removed meanwhile
    // Changed in between so that it no longer fits: take what the first
    // answer promised rather than read again without end.
    if (copied >= needed) buffer.resize(needed - 1);
    value.assign(buffer.c_str());
    return true;
}

int ReplaceAll(std::wstring& text, const std::wstring& value, const std::wstring& reference) {
    int replaced = 0;
    for (size_t at = text.find(value); at != std::wstring::npos; at = text.find(value, at)) {
        text.replace(at, value.size(), reference);
        at += reference.size();
        ++replaced;
    }
    return replaced;
}

}  // namespace

const std::vector<EnvironmentSubstitution>& EnvironmentSubstitutions() { return substitutions; }

void RecordEnvironmentVariable(const std::wstring& name) {
    std::wstring value;
    if (ReadEnvironmentVariable(name, value)) {
        (void)_wcslwr_s(value.data(), value.size() + 1);
        substitutions.push_back({name, std::move(value)});
    }
    std::stable_sort(substitutions.begin(), substitutions.end(),
                     [](const EnvironmentSubstitution& a, const EnvironmentSubstitution& b) {
                         return a.value.size() > b.value.size();
                     });
}

int SubstituteEnvironmentVariables(std::wstring& text, const std::vector<EnvironmentSubstitution>& table) {
    _wcslwr_s(text.data(), text.size() + 1);
    int total = 0;
    for (const auto& entry : table) {
        if (entry.value.empty()) continue;  // would match everywhere
        total += ReplaceAll(text, entry.value, L"%" + entry.name + L"%");
    }
    return total;
}

int SubstituteEnvironmentVariables(std::wstring& text) {
    return SubstituteEnvironmentVariables(text, EnvironmentSubstitutions());
}

}  // namespace userdata
