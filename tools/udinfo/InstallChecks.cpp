// What InstallUserData would do now, product by product: the library's own
// pass, run dry, so nothing is installed, deleted or started.
#include <UserData.h>

#include "common/Utf.h"
#include "install/PerUserInstall.h"
#include "install/RepairDryRun.h"

#include "Checks.h"
#include "Fetch.h"
#include "WindowsMessage.h"

namespace udinfo {

using userdata::Repair;
using userdata::RepairDryRun;
using userdata::WideToUtf8;

namespace {

constexpr char kFix[] = "run udinfo --install (InstallUserData), which has the Installer make these repairs";

std::string RunText(const RepairDryRun::Product& product, const RepairDryRun::Product::Run& run) {
    const std::string key = "HKCU\\" + WideToUtf8(product.userKeyPath), folder = WideToUtf8(run.localRootFolder);
    const std::string properties = " (" + WideToUtf8(userdata::RepairProperties(run.repair)) + ")";
    switch (run.repair) {
    case Repair::LayDownUserData:
        return "per-user key " + key + " is missing: would lay the per-user data down" + properties;
    case Repair::RewriteMachineRegistration:
        return "COM servers registered with absolute paths: would rewrite the machine's registration" + properties;
    case Repair::RestoreMissingFiles:
        return "LocalRootFolder " + folder + " is missing: would restore the missing files" + properties;
    case Repair::RewriteUserRegistry:
        return "LocalRootFolder " + folder + " does not open for reading and writing: would " +
               (product.deletesUserKey ? "delete " + key + " and " : std::string()) + "rewrite it" + properties;
    }
    return {};
}

Check ProductRepairs(const RepairDryRun::Product& product) {
    const std::string name = "per-user install: " + WideToUtf8(product.productCode);
    if (product.runs.empty())
        return Ok(name, "nothing to repair (per-user key HKCU\\" + WideToUtf8(product.userKeyPath) + ")");
    std::string detail;
    for (const auto& run : product.runs) detail += (detail.empty() ? "" : "; then ") + RunText(product, run);
    return Problem(name, detail, kFix);
}

// Whether the pass found a product list to walk. A pass that examined no
// product either had none to walk or could not open the list.
Check ProductList(const std::wstring& root, unsigned int status, std::size_t products) {
    constexpr char kName[] = "per-user install: product list";
    const std::string list = WideToUtf8(root + userdata::kUserDataSubKey);
    const std::string install = "install the product: its package lists itself below HKLM\\" + list;
    if (root.empty())
        return Warning(kName, "no machine product root: nothing is repaired", "see registry: machine product root");
    if (products > 0) {
        return Ok(kName, MachineKeyHive(root + userdata::kUserDataSubKey) + "\\" + list + " lists " +
                             std::to_string(products) + (products == 1 ? " product" : " products"));
    }
    if (status == ERROR_SUCCESS) return Warning(kName, list + " lists no product: nothing is repaired", install);
    if (status == ERROR_FILE_NOT_FOUND)
        return Warning(kName, "no " + list + " below HKLM or HKCU: nothing is repaired", install);
    return Problem(kName, "cannot read " + list + ": " + WindowsMessage(status),
                   "give this user the right to read " + list);
}

}  // namespace

void CheckPerUserInstall(Checks& checks) {
    const std::wstring root = Fetch(tvudGetMachineProductRegistryRootKey);
    RepairDryRun dryRun;
    const unsigned int status = userdata::ReconfigureProductsUnder(root.c_str(), dryRun);
    checks.push_back(ProductList(root, status, dryRun.products().size()));
    for (const auto& product : dryRun.products()) checks.push_back(ProductRepairs(product));
}

}  // namespace udinfo
