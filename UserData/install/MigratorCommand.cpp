#include "MigratorCommand.h"

#include <cwchar>
#include <stdlib.h>

namespace userdata {

namespace {

constexpr size_t kPathChars = 260;
constexpr size_t kOptionChars = 520;
// The split buffers hold 255 characters per part; a longer path could not
// be split without the runtime's invalid-parameter handler firing.
constexpr size_t kLongestSplittablePath = 255;

// `name` and the value between double quotation marks, or nothing when the
// product layer has no value.
std::wstring QuotedOption(const wchar_t* name, ContextGetter getter) {
    wchar_t value[kPathChars] = {};
    if (getter(value, kPathChars) == 0) return {};
    return std::wstring(name) + L"\"" + value + L"\"";
}

}  // namespace

std::optional<std::wstring> MigratorPathBeside(const wchar_t* modulePath) {
    if (std::wcslen(modulePath) > kLongestSplittablePath) return std::nullopt;
    wchar_t drive[3], directory[256], name[256], extension[256];
    if (_wsplitpath_s(modulePath, drive, 3, directory, 256, name, 256, extension, 256) != 0) return std::nullopt;
    if (std::wcslen(drive) + std::wcslen(directory) + std::wcslen(L"vtmigrator.exe") >= kPathChars)
        return std::nullopt;
    wchar_t migrator[kPathChars] = {};
    if (_wmakepath_s(migrator, kPathChars, drive, directory, L"vtmigrator", L"exe") != 0) return std::nullopt;
    return std::wstring(migrator);
}

std::optional<std::wstring> WaitedRunOptions(bool markerCreated, ContextGetter product, ContextGetter language) {
    std::wstring options = L"/a";
    options += QuotedOption(L" /product ", product);
    options += QuotedOption(L" /language ", language);
    if (markerCreated) options += L" /dap ";
    if (options.size() >= kOptionChars) return std::nullopt;
    return options;
}

}  // namespace userdata
