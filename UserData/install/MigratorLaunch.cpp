#include "MigratorLaunch.h"

#include <optional>
#include <process.h>
#include <string>

#include <windows.h>

#include "../include/UserData.h"
#include "common/UniqueAny.h"
#include "MigratorCommand.h"

namespace userdata {

namespace {

constexpr DWORD kPathChars = 260;

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
    if (GetModuleFileNameW(GetThisModuleHandle(), self, kPathChars) == 0) return std::nullopt;
    return MigratorPathBeside(self);
}

}  // namespace

bool RunMigratorAndWait(bool markerCreated) {
    const auto migrator = MigratorPath();
    const auto options = WaitedRunOptions(markerCreated, tvudGetCurrentProduct, tvudGetCurrentLanguage);
    if (!migrator || !options) return false;
    // The whole option string is one argument: the migrator's command line
    // is its path, one space and the options.
    return _wspawnl(_P_WAIT, migrator->c_str(), migrator->c_str(), options->c_str(), nullptr) == 0;
}

void StartMigratorForMarker() {
    const auto migrator = MigratorPath();
    if (!migrator) return;
    const intptr_t process = _wspawnl(_P_NOWAIT, migrator->c_str(), migrator->c_str(), kMarkerOnlyOption, nullptr);
    if (process == -1) return;
    // Not waited for, but its handle is ours to release.
    const UniqueHandle started(reinterpret_cast<HANDLE>(process));
}

}  // namespace userdata
