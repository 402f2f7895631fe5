#include "MigrationDryRun.h"

#include "DapMarker.h"

namespace userdata {

bool MigrationDryRun::createDapMarker() { return markerCreated = FindDapMarker().state == DapMarker::Due; }

void MigrationDryRun::writeUserSwitch(const wchar_t*, DWORD value) { userSwitchWrites.push_back(value); }

bool MigrationDryRun::runMigratorAndWait(bool marker) {
    const auto options = WaitedRunOptions(marker, product_, language_);
    start = Start{options.value_or(L""), true};
    return migrator_ && options && GetFileAttributesW(migrator_->c_str()) != INVALID_FILE_ATTRIBUTES;
}

void MigrationDryRun::startMigratorForMarker() { start = Start{kMarkerOnlyOption, false}; }

}  // namespace userdata
