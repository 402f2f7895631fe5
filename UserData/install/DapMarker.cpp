#include "DapMarker.h"

#include <cstdio>
#include <string>

#include <shlwapi.h>
#include <windows.h>

#include "../include/UserData.h"

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
        FILE* file = nullptr;
        if (_wfopen_s(&file, marker.c_str(), L"w") == 0 && file) std::fclose(file);
        return true;
    } catch (...) {
        return false;
    }
}

}  // namespace userdata
