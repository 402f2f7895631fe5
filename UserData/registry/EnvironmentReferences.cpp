#include "EnvironmentReferences.h"

#include <string.h>

namespace userdata {

namespace {
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
