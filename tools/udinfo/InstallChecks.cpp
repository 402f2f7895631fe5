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

// The Installer's own view of a listed product: one it does not know makes
// every repair of it fail, so the product can never be made whole.
Check InstallerState(const RepairDryRun::Product& product) {
    const std::string code = WideToUtf8(product.productCode), name = "per-user install: " + code + ": Installer";
    const std::string returns = "InstallUserData would return " + std::to_string(product.status) + " for it" +
                                (product.runs.empty() ? " now, and " + std::to_string(userdata::InstallerStatusFor(
                                                                          product.installerState)) +
                                                            " once it needs a repair"
                                                      : "");
    const std::string stale = "install the product again from its package, or, if it is gone for good, delete the "
                              "value " + code + " from the product list";
    if (product.installerBinding != ERROR_SUCCESS) {
        return Problem(name, "the Installer cannot be asked: " + WindowsMessage(product.installerBinding),
                       "repair the Windows Installer (msi.dll in the system folder)");
    }
    switch (product.installerState) {
    case INSTALLSTATE_DEFAULT: return Ok(name, "installed");
    case INSTALLSTATE_ADVERTISED:
        return Warning(name, "advertised only: a repair first installs it from its source",
                       "install the product from its package");
    case INSTALLSTATE_ABSENT: return Problem(name, "installed for another user only: " + returns, stale);
    case INSTALLSTATE_UNKNOWN: return Problem(name, "the Installer does not know this product: " + returns, stale);
    case INSTALLSTATE_INVALIDARG:
        return Problem(name, "not a product code: " + returns, "delete the value " + code + " from the product list");
    default:
        return Problem(name, "in Installer state " + std::to_string(product.installerState) + ": " + returns,
                       "repair the product from its package");
    }
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
    const std::string returns = "; InstallUserData would return " + std::to_string(status);
    constexpr char kName[] = "per-user install: product list";
    const std::string list = WideToUtf8(root + userdata::kUserDataSubKey);
    const std::string install = "install the product: its package lists itself below HKLM\\" + list;
    if (root.empty())
        return Warning(kName, "no machine product root: nothing is repaired", "see registry: machine product root");
    if (products > 0) {
        return Ok(kName, MachineKeyHive(root + userdata::kUserDataSubKey) + "\\" + list + " lists " +
                             std::to_string(products) + (products == 1 ? " product" : " products") + returns);
    }
    if (status == ERROR_SUCCESS) return Warning(kName, list + " lists no product: nothing is repaired", install);
    if (status == ERROR_FILE_NOT_FOUND)
        return Warning(kName, "no " + list + " below HKLM or HKCU: nothing is repaired", install);
    return Problem(kName, "cannot read " + list + ": " + WindowsMessage(status),
                   "give this user the right to read " + list);
}

}  // namespace

void CheckPerUserInstall(Checks& checks, InstallPrediction& prediction) {
    const std::wstring root = Fetch(tvudGetMachineProductRegistryRootKey);
    RepairDryRun dryRun;
    prediction.status = userdata::ReconfigureProductsUnder(root.c_str(), dryRun);
    prediction.products = dryRun.products();
    checks.push_back(ProductList(root, prediction.status, dryRun.products().size()));
    for (const auto& product : dryRun.products()) {
        checks.push_back(ProductRepairs(product));
        checks.push_back(InstallerState(product));
    }
}

}  // namespace udinfo
