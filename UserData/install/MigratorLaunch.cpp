#include "MigratorLaunch.h"

#include <cwchar>
#include <optional>
#include <process.h>
#include <stdlib.h>
#include <string>

#include <windows.h>

#include "../include/UserData.h"
#include "common/UniqueAny.h"

namespace userdata {

namespace {

constexpr size_t kPathChars = 260;
constexpr size_t kOptionChars = 520;
// The split buffers hold 255 characters per part; a longer own path could
// not be split without the runtime's invalid-parameter handler firing.
constexpr size_t kLongestSplittablePath = 255;

// The module this code lives in: the library itself, or null (the host
// executable) when the query does not answer in full.
HMODULE GetThisModuleHandle() {
    MEMORY_BASIC_INFORMATION info{};
    if (VirtualQuery(reinterpret_cast<const void*>(&GetThisModuleHandle), &info, sizeof info) != sizeof info)
        return nullptr;
    return static_cast<HMODULE>(info.AllocationBase);
}

std::optional<std::wstring> MigratorPath() {
    wchar_t self[kPathChars] = {};
    const DWORD length = GetModuleFileNameW(GetThisModuleHandle(), self, kPathChars);
    if (length == 0 || length > kLongestSplittablePath) return std::nullopt;

    wchar_t drive[3], directory[256], name[256], extension[256];
    if (_wsplitpath_s(self, drive, 3, directory, 256, name, 256, extension, 256) != 0) return std::nullopt;
    if (std::wcslen(drive) + std::wcslen(directory) + std::wcslen(L"vtmigrator.exe") >= kPathChars)
        return std::nullopt;
    wchar_t migrator[kPathChars] = {};
    if (_wmakepath_s(migrator, kPathChars, drive, directory, L"vtmigrator", L"exe") != 0) return std::nullopt;
    return std::wstring(migrator);
}

// `name` and the value between double quotation marks, or nothing when the
// product layer has no value.
std::wstring QuotedOption(const wchar_t* name, unsigned int (*getter)(wchar_t*, unsigned long)) {
    wchar_t value[kPathChars] = {};
    if (getter(value, kPathChars) == 0) return {};
    return std::wstring(name) + L"\"" + value + L"\"";
}

std::optional<std::wstring> WaitedRunOptions(bool markerCreated) {
    std::wstring options = L"/a";
    options += QuotedOption(L" /product ", tvudGetCurrentProduct);
    options += QuotedOption(L" /language ", tvudGetCurrentLanguage);
    if (markerCreated) options += L" /dap ";
    if (options.size() >= kOptionChars) return std::nullopt;
    return options;
}

}  // namespace

bool RunMigratorAndWait(bool markerCreated) {
    const auto migrator = MigratorPath();
    const auto options = WaitedRunOptions(markerCreated);
    if (!migrator || !options) return false;
    // The whole option string is one argument: the migrator's command line
    // is its path, one space and the options.
    return _wspawnl(_P_WAIT, migrator->c_str(), migrator->c_str(), options->c_str(), nullptr) == 0;
}

void StartMigratorForMarker() {
    const auto migrator = MigratorPath();
    if (!migrator) return;
    const intptr_t process = _wspawnl(_P_NOWAIT, migrator->c_str(), migrator->c_str(), L"/dap", nullptr);
    if (process == -1) return;
    // Not waited for, but its handle is ours to release.
    const UniqueHandle started(reinterpret_cast<HANDLE>(process));
}

}  // namespace userdata
