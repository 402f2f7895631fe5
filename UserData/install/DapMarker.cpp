#include "DapMarker.h"

#include <cstdio>
#include <string>

#include <shlwapi.h>
#include <windows.h>

#include "../include/UserData.h"
#include "common/UniqueAny.h"

namespace userdata {

bool CreateDapMarker() noexcept {
    // The one place the library catches: a failure to form the marker must
    // not keep the migration decision from being taken.
    try {
        const auto folderValue = TvUdSpecialFolder::RoamableRootFolder;
        const unsigned int size = tvudGetSpecialFolder(folderValue, nullptr, 0);
        if (size == 0) return false;
        std::wstring folder(size, L'\0');
        if (tvudGetSpecialFolder(folderValue, folder.data(), size) == 0) return false;
        folder.resize(size - 1);
        if (!PathFileExistsW(folder.c_str())) return false;

        const std::wstring marker = folder + L"\\DAP";
        if (PathFileExistsW(marker.c_str())) return false;
        UniqueStdioFile file;
        (void)_wfopen_s(file.put(), marker.c_str(), L"w");
        return true;
    } catch (...) {
        return false;
    }
}

}  // namespace userdata
