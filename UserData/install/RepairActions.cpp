#include "RepairActions.h"

#include <windows.h>

#include "../registry/RegistryFunctions.h"
#include "../registry/UniqueHkey.h"
#include "ComServerPathCheck.h"
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

LSTATUS ReadUserKey(const wchar_t* userKeyPath, LocalRootFolder& folder) {
    UniqueHkey key;
    const LSTATUS opened = RegistryOpenKey(HKEY_CURRENT_USER, userKeyPath, 0, KEY_READ, key.put());
    if (opened != ERROR_SUCCESS) return opened;
    DWORD bytes = sizeof folder.path;
    // Without a folder of its own (or with one too long to use) there is
    // nothing to check.
    folder.present =
        RegistryGetValue(key.get(), kLocalRootFolderValue, nullptr, nullptr, folder.path, &bytes) == ERROR_SUCCESS;
    return ERROR_SUCCESS;
}

bool FolderExists(const wchar_t* folder) { return GetFileAttributesW(folder) != INVALID_FILE_ATTRIBUTES; }

bool FolderOpensForReadWrite(const wchar_t* folder) {
    const UniqueFile handle(CreateFileW(folder, GENERIC_READ | GENERIC_WRITE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return static_cast<bool>(handle);
}

bool InstallerActions::comServerPathsAreRelative() { return ComServerPathsAreRelative(); }

unsigned int InstallerActions::reconfigure(const RepairRequest& request) {
    // Marked before the run, whether or not the run then succeeds.
    if (request.repair == Repair::LayDownUserData) secondaryInstallFound = true;
    return ReconfigureProduct(Installer(installer_), request.productCode, RepairProperties(request.repair));
}

void InstallerActions::deleteUserKey(const wchar_t* userKeyPath) {
    // The Installer's run that follows writes the key afresh; whether the
    // deletion succeeded changes nothing about that.
    (void)RegistryDeleteKey(HKEY_CURRENT_USER, userKeyPath, true);
}

bool SecondaryInstallFound() { return secondaryInstallFound; }

}  // namespace userdata
