#include "Doctor.h"

#include <algorithm>
#include <cstdio>

#include <nlohmann/json.hpp>

#include "common/Utf.h"

#include "Checks.h"

namespace udinfo {

namespace {

// Raised whenever a member's name, type or nesting changes (2 added each
// check's "reliable" and "installUserData"), with its JSON Schema,
// tools/udinfo/schemas/udinfo-doctor.schema.json.
constexpr int kDoctorSchemaVersion = 2;

const char* StatusName(Status status) {
    switch (status) {
    case Status::Ok: return "ok";
    case Status::Warning: return "warning";
    case Status::Problem: return "problem";
    }
    return "";
}

// Every check but the runtime's module checks reads through udinfo's own
// copy of the library's logic: of another build's UserData.dll, it may
// explain what that DLL does not do.
bool ReadsThroughOwnLogic(const Check& check) {
    return check.name.rfind("runtime: ", 0) != 0 || check.name == "runtime: language";
}

Checks CollectChecks(InstallPrediction& prediction) {
    Checks checks;
    CheckRuntime(checks);
    CheckRegistry(checks);
    CheckFolders(checks);
    CheckPerUserInstall(checks, prediction);
    CheckComServers(checks);
    CheckMigration(checks);
    if (!LoadedUserDataIsOwnBuild()) {
        for (Check& check : checks) check.reliable = !ReadsThroughOwnLogic(check);
    }
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
        std::printf("%-8s %-*s  %s%s\n", StatusName(check.status), static_cast<int>(width), check.name.c_str(),
                    check.detail.c_str(), check.reliable ? "" : " [unreliable: explains another build]");
        if (!check.fix.empty()) std::printf("%-8s fix: %s\n", "", check.fix.c_str());
    }
    std::printf("\n%d ok, %d warnings, %d problems\n", counts[0], counts[1], counts[2]);
}

// Each listed product with the Installer runs and the key deletion the pass
// would make now, in its order, and what it would return.
nlohmann::ordered_json PredictionJson(const InstallPrediction& prediction) {
    using userdata::WideToUtf8;
    nlohmann::ordered_json products = nlohmann::ordered_json::array();
    for (const auto& product : prediction.products) {
        nlohmann::ordered_json runs = nlohmann::ordered_json::array();
        for (const auto& run : product.runs) runs.push_back(WideToUtf8(userdata::RepairProperties(run.repair)));
        products.push_back({{"productCode", WideToUtf8(product.productCode)},
                            {"userKeyPath", WideToUtf8(product.userKeyPath)},
                            {"installerState", static_cast<int>(product.installerState)},
                            {"runs", runs},
                            {"deletesUserKey", product.deletesUserKey},
                            {"returns", product.status}});
    }
    return {{"returns", prediction.status}, {"products", products}};
}

void PrintJson(const Checks& checks, const InstallPrediction& prediction) {
    nlohmann::ordered_json out;
    out["schemaVersion"] = kDoctorSchemaVersion;
    out["checks"] = nlohmann::ordered_json::array();
    for (const Check& check : checks) {
        out["checks"].push_back({{"name", check.name},
                                 {"status", StatusName(check.status)},
                                 {"detail", check.detail},
                                 {"fix", check.fix.empty() ? nlohmann::ordered_json(nullptr)
                                                           : nlohmann::ordered_json(check.fix)},
                                 {"reliable", check.reliable}});
    }
    out["installUserData"] = PredictionJson(prediction);
    std::printf("%s\n", out.dump(2).c_str());
}

}  // namespace

int RunDoctor(const std::wstring& configuration, bool json) {
    InstallPrediction prediction;
    const Checks checks = CollectChecks(prediction);
    if (json) PrintJson(checks, prediction);
    else PrintTable(configuration, checks);
    const bool problem = std::any_of(checks.begin(), checks.end(),
                                     [](const Check& check) { return check.status == Status::Problem; });
    return problem ? 1 : 0;
}

}  // namespace udinfo
