#include "DapMarker.h"

#include <cstdio>

#include <shlwapi.h>
#include <windows.h>

#include "../folders/FolderResolution.h"
#include "common/UniqueAny.h"

namespace userdata {

DapMarker FindDapMarker() {
    FolderPath path;
    IgnoreOrigin nothing;
    const std::size_t length = resolution::ResolveFolder(TvUdSpecialFolder::RoamableRootFolder, path, nothing);
    if (length == 0) return {DapMarker::NoRoamableFolder, {}};
    const std::wstring folder(path.data(), length);
    if (!PathFileExistsW(folder.c_str())) return {DapMarker::NoRoamableFolder, {}};
    std::wstring marker = folder + kDapMarkerName;
    const DapMarker::State state = PathFileExistsW(marker.c_str()) ? DapMarker::Present : DapMarker::Due;
    return {state, std::move(marker)};
}

bool CreateDapMarker() noexcept {
    // The one place the library catches: a failure to form the marker must
    // not keep the migration decision from being taken.
    try {
        const DapMarker marker = FindDapMarker();
        if (marker.state != DapMarker::Due) return false;
        UniqueStdioFile file;
        (void)_wfopen_s(file.put(), marker.path.c_str(), L"w");
        return true;
    } catch (...) {
        return false;
    }
}

}  // namespace userdata
