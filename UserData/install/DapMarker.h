// The "DAP" marker file in the user's roamable root folder, by which the
// automatic migration recognises the first call that finds that folder.
#pragma once

#include <string>

namespace userdata {

// The marker's name, appended to the roamable root folder's path after a
// backslash whether or not the path ends with one.
inline constexpr wchar_t kDapMarkerName[] = L"\\DAP";

struct DapMarker {
    enum State {
        NoRoamableFolder,  // the roamable root folder has no path or does not exist
        Present,           // a "DAP" entry is there (a folder named DAP counts)
        Due,               // the folder is there, the entry is not
    } state;
    std::wstring path;  // the marker's path; empty without a roamable root folder
};

// Where the marker stands now.
[[nodiscard]] DapMarker FindDapMarker();

// Creates the empty marker file when it is due. True when it was due, even
// if the file then could not be created. Never throws.
[[nodiscard]] bool CreateDapMarker() noexcept;

}  // namespace userdata
