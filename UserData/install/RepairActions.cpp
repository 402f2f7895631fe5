#include "RepairActions.h"

#include <windows.h>

#include "../registry/RegistryFunctions.h"
#include "common/UniqueAny.h"

namespace userdata {

namespace {

bool secondaryInstallFound = false;

}  // namespace

const wchar_t* RepairProperties(Repair repair) {
    // TRLV_SECONDARY_INSTALL tells the product's own package that the run
    // repairs one user's part of an installation made before.
    switch (repair) {
    case Repair::LayDownUserData: return L"REINSTALL=UserData REINSTALLMODE=uos TRLV_SECONDARY_INSTALL=1";
    case Repair::RewriteMachineRegistration: return L"REINSTALL=ALL REINSTALLMODE=m TRLV_SECONDARY_INSTALL=1";
    case Repair::RestoreMissingFiles: return L"REINSTALL=UserData REINSTALLMODE=p TRLV_SECONDARY_INSTALL=1";
    case Repair::RewriteUserRegistry: return L"REINSTALL=UserData REINSTALLMODE=u TRLV_SECONDARY_INSTALL=1";
    }
    return L"";
}

bool FolderOpensForReadWrite(const wchar_t* folder) {
    const UniqueFile handle(CreateFileW(folder, GENERIC_READ | GENERIC_WRITE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return static_cast<bool>(handle);
}

unsigned int InstallerActions::reconfigure(const RepairRequest& request) {
    // Marked before the run, whether or not the run then succeeds.
    if (request.repair == Repair::LayDownUserData) secondaryInstallFound = true;
    return reconfigure_(request.productCode, RepairProperties(request.repair));
}

void InstallerActions::deleteUserKey(const wchar_t* userKeyPath) {
    // The Installer's run that follows writes the key afresh; whether the
    // deletion succeeded changes nothing about that.
    (void)RegistryDeleteKey(HKEY_CURRENT_USER, userKeyPath, true);
}

bool SecondaryInstallFound() { return secondaryInstallFound; }

}  // namespace userdata
