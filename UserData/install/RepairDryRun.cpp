#include "RepairDryRun.h"

#include <windows.h>

namespace userdata {

void RepairDryRun::examine(const wchar_t* productCode, const wchar_t* userKeyPath) {
    products_.push_back({productCode, userKeyPath, {}, false});
}

unsigned int RepairDryRun::reconfigure(const RepairRequest& request) {
    const std::wstring folder = request.localRootFolder != nullptr ? request.localRootFolder : L"";
    products_.back().runs.push_back({request.repair, folder});
    if (request.repair == Repair::RestoreMissingFiles) restoredFolders_.insert(folder);
    return ERROR_SUCCESS;
}

void RepairDryRun::deleteUserKey(const wchar_t*) { products_.back().deletesUserKey = true; }

bool RepairDryRun::folderOpensForReadWrite(const wchar_t* folder) {
    return restoredFolders_.count(folder) != 0 || FolderOpensForReadWrite(folder);
}

}  // namespace userdata
