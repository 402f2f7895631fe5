#include "RepairDryRun.h"

#include "ComServerPathCheck.h"

namespace userdata {

unsigned int InstallerStatusFor(INSTALLSTATE state) {
    switch (state) {
    case INSTALLSTATE_UNKNOWN:
    case INSTALLSTATE_ABSENT: return ERROR_UNKNOWN_PRODUCT;
    case INSTALLSTATE_INVALIDARG: return ERROR_INVALID_PARAMETER;
    default: return ERROR_SUCCESS;
    }
}

void RepairDryRun::examine(const wchar_t* productCode, const wchar_t* userKeyPath) {
    Product product;
    product.productCode = productCode;
    product.userKeyPath = userKeyPath;
    const InstallerFunctions& installer = Installer(installer_);
    product.installerBinding = installer.status;
    product.installerState = QueryProductState(installer, productCode);
    products_.push_back(std::move(product));
}

LSTATUS RepairDryRun::readUserKey(const wchar_t* userKeyPath, LocalRootFolder& folder) {
    // A key an earlier run wrote holds the per-user data laid down afresh:
    // nothing is left to repair in it.
    if (userKeysWritten_.count(userKeyPath) != 0) {
        folder = {};
        return ERROR_SUCCESS;
    }
    return ReadUserKey(userKeyPath, folder);
}

bool RepairDryRun::folderExists(const wchar_t* folder) {
    return restoredFolders_.count(folder) != 0 || FolderExists(folder);
}

bool RepairDryRun::folderOpensForReadWrite(const wchar_t* folder) {
    return restoredFolders_.count(folder) != 0 || FolderOpensForReadWrite(folder);
}

bool RepairDryRun::comServerPathsAreRelative() { return machineRegistrationRewritten_ || ComServerPathsAreRelative(); }

unsigned int RepairDryRun::reconfigure(const RepairRequest& request) {
    Product& product = products_.back();
    const std::wstring folder = request.localRootFolder != nullptr ? request.localRootFolder : L"";
    product.runs.push_back({request.repair, folder});
    const unsigned int status = product.installerBinding != ERROR_SUCCESS ? product.installerBinding
                                                                          : InstallerStatusFor(product.installerState);
    if (status != ERROR_SUCCESS) return status;
    switch (request.repair) {
    case Repair::LayDownUserData:
    case Repair::RewriteUserRegistry: userKeysWritten_.insert(product.userKeyPath); break;
    case Repair::RewriteMachineRegistration: machineRegistrationRewritten_ = true; break;
    case Repair::RestoreMissingFiles: restoredFolders_.insert(folder); break;
    }
    return ERROR_SUCCESS;
}

void RepairDryRun::deleteUserKey(const wchar_t*) { products_.back().deletesUserKey = true; }

}  // namespace userdata
