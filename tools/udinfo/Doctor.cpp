#include "Doctor.h"

#include <algorithm>
#include <cstdio>

#include <nlohmann/json.hpp>

#include "common/Utf.h"

#include "Checks.h"

namespace udinfo {

namespace {

// Raised whenever a member's name, type or nesting changes.
constexpr int kDoctorSchemaVersion = 1;

const char* StatusName(Status status) {
    switch (status) {
    case Status::Ok: return "ok";
    case Status::Warning: return "warning";
    case Status::Problem: return "problem";
    }
    return "";
}

Checks CollectChecks() {
    Checks checks;
    CheckRuntime(checks);
    CheckRegistry(checks);
    CheckFolders(checks);
    CheckPerUserInstall(checks);
    CheckComServers(checks);
    CheckMigration(checks);
    return checks;
}

void PrintTable(const std::wstring& configuration, const Checks& checks) {
    std::printf("UserData doctor: %s\n\n", configuration.empty() ? "embedded default product"
                                                                  : userdata::WideToUtf8(configuration).c_str());
    size_t width = 0;
    for (const Check& check : checks) width = std::max(width, check.name.size());
    int counts[3] = {};
    for (const Check& check : checks) {
        ++counts[static_cast<int>(check.status)];
        std::printf("%-8s %-*s  %s\n", StatusName(check.status), static_cast<int>(width), check.name.c_str(),
                    check.detail.c_str());
        if (!check.fix.empty()) std::printf("%-8s fix: %s\n", "", check.fix.c_str());
    }
    std::printf("\n%d ok, %d warnings, %d problems\n", counts[0], counts[1], counts[2]);
}

void PrintJson(const Checks& checks) {
    nlohmann::ordered_json out;
    out["schemaVersion"] = kDoctorSchemaVersion;
    out["checks"] = nlohmann::ordered_json::array();
    for (const Check& check : checks) {
        out["checks"].push_back({{"name", check.name},
                                 {"status", StatusName(check.status)},
                                 {"detail", check.detail},
                                 {"fix", check.fix.empty() ? nlohmann::ordered_json(nullptr)
                                                           : nlohmann::ordered_json(check.fix)}});
    }
    std::printf("%s\n", out.dump(2).c_str());
}

}  // namespace

int RunDoctor(const std::wstring& configuration, bool json) {
    const Checks checks = CollectChecks();
    if (json) PrintJson(checks);
    else PrintTable(configuration, checks);
    const bool problem = std::any_of(checks.begin(), checks.end(),
                                     [](const Check& check) { return check.status == Status::Problem; });
    return problem ? 1 : 0;
}

}  // namespace udinfo
