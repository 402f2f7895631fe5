#include "Actions.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <optional>
#include <thread>
#include <vector>

#include <UserData.h>
#include <windows.h>

#include "common/Utf.h"
#include "install/DapMarker.h"
#include "install/MigrationDecision.h"

#include "Fetch.h"
#include "VersionResource.h"
#include "WindowsMessage.h"

namespace udinfo {

using userdata::WideToUtf8;

namespace {

// The user's switch as the library reads it; nothing when the key or the
// value is missing.
std::optional<DWORD> UserSwitch() {
    const userdata::SwitchRead read =
        userdata::ReadSwitch(HKEY_CURRENT_USER, Fetch(tvudGetUserProductRegistryRootKey).c_str());
    return read.keyOpened && read.status == ERROR_SUCCESS ? std::optional(read.value) : std::nullopt;
}

std::string Describe(const std::optional<DWORD>& value) {
    return value ? std::to_string(*value) : std::string("absent");
}

bool MarkerExists() { return userdata::FindDapMarker().state == userdata::DapMarker::Present; }

// The stand-in migrator appends its command line to the file VTMIGRATOR_LOG
// names; udinfo names one when the caller has not.
std::wstring MigratorLog() {
    wchar_t existing[MAX_PATH];
    const DWORD n = GetEnvironmentVariableW(L"VTMIGRATOR_LOG", existing, MAX_PATH);
    if (n > 0 && n < MAX_PATH) return existing;
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring log = std::wstring(temp) + L"udinfo-migrator-" + std::to_wstring(GetCurrentProcessId()) + L".log";
    DeleteFileW(log.c_str());
    SetEnvironmentVariableW(L"VTMIGRATOR_LOG", log.c_str());
    return log;
}

std::vector<std::string> LoggedStarts(const std::wstring& log) {
    std::ifstream in(log.c_str());
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

}  // namespace

int RunInstall() {
    const unsigned int status = InstallUserData();
    std::printf("InstallUserData       %u (%s)\n", status, WindowsMessage(status).c_str());
    if (status == ERROR_FILE_NOT_FOUND) {
        std::printf("                      no product lists per-user data under %s\\UserData\n",
                    WideToUtf8(Fetch(tvudGetMachineProductRegistryRootKey)).c_str());
    }
    std::printf("Secondary install     %s\n", tvudIsSecondaryInstall() ? "yes" : "no");
    return status == 0 ? 0 : 1;
}

int RunComCheck() {
    const bool relative = CheckCOMServerRelativePaths();
    std::printf("COM servers registered with relative paths: %s\n", relative ? "yes" : "no");
    return 0;
}

int RunMigrate() {
    const std::wstring log = MigratorLog();
    const auto before = UserSwitch();
    const bool markerBefore = MarkerExists();
    const size_t startsBefore = LoggedStarts(log).size();
    ProcessAutoMigrate();
    // A start that is not waited for logs a moment later.
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (LoggedStarts(log).size() == startsBefore && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const auto starts = LoggedStarts(log);

    std::printf("AutoMigrate (user)    %s -> %s\n", Describe(before).c_str(), Describe(UserSwitch()).c_str());
    std::printf("DAP marker            %s -> %s\n", markerBefore ? "present" : "absent",
                MarkerExists() ? "present" : "absent");
    if (starts.size() == startsBefore) std::printf("Migrator started      no\n");
    for (size_t i = startsBefore; i < starts.size(); ++i)
        std::printf("Migrator started      %s\n", starts[i].c_str());
    return 0;
}

int ResolveDisplayText(const std::wstring& text) {
    const unsigned int needed = tvudLoadMUIString(text.c_str(), nullptr, 0);
    std::vector<wchar_t> buffer(needed ? needed : 1);
    if (needed == 0 || tvudLoadMUIString(text.c_str(), buffer.data(), needed) == 0) {
        std::fprintf(stderr, "udinfo: '%s' does not resolve\n", WideToUtf8(text).c_str());
        return 1;
    }
    std::printf("%s\n", WideToUtf8(buffer.data()).c_str());
    return 0;
}

int PrintVersion() {
    const std::wstring path = LoadedModulePath(L"UserData.dll");
    const auto version = path.empty() ? std::nullopt : ReadVersionResource(path);
    if (!version) {
        std::fprintf(stderr, "udinfo: %s has no version resource\n", WideToUtf8(path).c_str());
        return 1;
    }
    std::printf("%s %s\n%s %s, %s\n%s\n", WideToUtf8(version->originalFilename).c_str(),
                WideToUtf8(version->fileVersion).c_str(), WideToUtf8(version->companyName).c_str(),
                WideToUtf8(version->productName).c_str(), WideToUtf8(version->productVersion).c_str(),
                WideToUtf8(version->fileDescription).c_str());
    return 0;
}

}  // namespace udinfo
