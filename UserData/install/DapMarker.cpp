#include "DapMarker.h"

#include <cstdio>

#include <shlwapi.h>
#include <windows.h>

#include "../folders/FolderResolution.h"
#include "common/UniqueAny.h"

namespace userdata {

std::optional<std::wstring> DueDapMarker() {
    FolderPath path;
    IgnoreOrigin nothing;
    const std::size_t length = resolution::ResolveFolder(TvUdSpecialFolder::RoamableRootFolder, path, nothing);
    if (length == 0) return std::nullopt;
    const std::wstring folder(path.data(), length);
    if (!PathFileExistsW(folder.c_str())) return std::nullopt;
    // Appended as it is, whether or not the folder ends with a separator.
    std::wstring marker = folder + L"\\DAP";
    if (PathFileExistsW(marker.c_str())) return std::nullopt;
    return marker;
}

bool CreateDapMarker() noexcept {
    // The one place the library catches: a failure to form the marker must
    // not keep the migration decision from being taken.
    try {
        const auto marker = DueDapMarker();
        if (!marker) return false;
        UniqueStdioFile file;
        (void)_wfopen_s(file.put(), marker->c_str(), L"w");
        return true;
    } catch (...) {
        return false;
    }
}

}  // namespace userdata
