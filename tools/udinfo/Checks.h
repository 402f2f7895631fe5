// The doctor's findings about the product's set-up on this machine for this
// user, area by area. A check reads; the only thing any of them writes is
// the folder probe's file, removed at once, and none starts anything.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "install/RepairDryRun.h"

namespace udinfo {

enum class Status { Ok, Warning, Problem };

struct Check {
    std::string name;    // "area: subject"
    Status status;
    std::string detail;  // one line
    std::string fix;     // one line; empty when there is nothing to fix
    // False when the check rests on udinfo's own copy of the library's logic
    // and the UserData.dll loaded is of another build (runtime: build).
    bool reliable = true;
};

using Checks = std::vector<Check>;

inline Check Ok(std::string name, std::string detail) {
    return {std::move(name), Status::Ok, std::move(detail), {}};
}
inline Check Warning(std::string name, std::string detail, std::string fix) {
    return {std::move(name), Status::Warning, std::move(detail), std::move(fix)};
}
inline Check Problem(std::string name, std::string detail, std::string fix) {
    return {std::move(name), Status::Problem, std::move(detail), std::move(fix)};
}

// The hive that holds the machine key `path` when the library looks it up:
// "HKLM", or "HKCU" for a per-user installation, which keeps it there; empty
// when neither does.
std::string MachineKeyHive(const std::wstring& path);

// Whether the UserData.dll loaded carries the version and build identity of
// udinfo's own copy of the library's logic.
bool LoadedUserDataIsOwnBuild();

// Each appends its area's checks.
void CheckRuntime(Checks& checks);
void CheckRegistry(Checks& checks);
void CheckFolders(Checks& checks);
// What InstallUserData would do now, by the library's pass run dry.
struct InstallPrediction {
    unsigned int status = ERROR_SUCCESS;  // what it would return
    std::vector<userdata::RepairDryRun::Product> products;
};
void CheckPerUserInstall(Checks& checks, InstallPrediction& prediction);
void CheckComServers(Checks& checks);
void CheckMigration(Checks& checks);

}  // namespace udinfo
