// The folders that are the user's own, and the help files.
#include <UserData.h>
#include <windows.h>

#include "common/UniqueAny.h"
#include "common/Utf.h"
#include "folders/FolderResolution.h"
#include "context/PathJoin.h"
#include "install/RepairActions.h"
#include "names/HelpFileName.h"

#include "Checks.h"
#include "Fetch.h"
#include "FolderSource.h"
#include "WindowsMessage.h"

namespace udinfo {

using userdata::WideToUtf8;

namespace {

// Whether this user can write in `folder`: it opens for reading and writing
// as the repair pass asks it to, and a file of this process's own can be
// made there; the file goes again when its handle closes, at once. The
// status of the step that failed, 0 when both worked.
DWORD WriteProbeFailure(const std::wstring& folder) {
    // The failed open closes nothing, so its error is still the last one.
    if (!userdata::FolderOpensForReadWrite(folder.c_str())) return GetLastError();
    wchar_t probe[userdata::kFolderPathSize] = {};
    const std::size_t length = folder.copy(probe, userdata::kFolderPathSize - 1);
    const std::wstring name = L"udinfo-probe-" + std::to_wstring(GetCurrentProcessId()) + L".tmp";
    if (userdata::AppendPathElement(probe, length, name, userdata::kFolderPathSize) == 0)
        return ERROR_FILENAME_EXCED_RANGE;
    const userdata::UniqueFile file(CreateFileW(probe, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                                FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    return file ? ERROR_SUCCESS : GetLastError();
}

std::string CannotWrite(const std::string& path, DWORD failure) {
    return path + " cannot be written: " + WindowsMessage(failure) + " (error " + std::to_string(failure) + ")";
}

Check UserFolder(const userdata::FolderRule& rule) {
    const std::string name = std::string("folders: ") + TvUdSpecialFolder::kFolderNames[rule.folder];
    const std::wstring path = FolderPath(rule.folder);
    userdata::FolderOrigin origin;
    (void)userdata::ResolveFolderWithOrigin(rule.folder, origin);
    const std::string source = WideToUtf8(DescribeFolderSource(origin)), shown = WideToUtf8(path);
    if (path.empty()) return Warning(name, "no path: " + source, "set the product setting " + WideToUtf8(rule.name));
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return Problem(name, shown + " does not exist (" + source + ")", "create it: mkdir \"" + shown + "\"");
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        return Problem(name, shown + " is a file, not a folder",
                       "move the file away, or set the product setting " + WideToUtf8(rule.name) + " to a folder");
    }
    if (const DWORD failure = WriteProbeFailure(path)) {
        return Problem(name, CannotWrite(shown, failure),
                       failure == ERROR_SHARING_VIOLATION ? "close the program that holds it open for itself"
                                                          : "give this user the right to write there");
    }
    return Ok(name, shown + " (" + source + ")");
}

constexpr char kRepairHelp[] = "repair the product installation, which lays its help files down";

bool FileExists(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// The fix names the profile value the user chose the file by, if any.
Check HelpFile() {
    constexpr char kName[] = "folders: help file";
    wchar_t file[userdata::kHelpPathSize] = {};
    userdata::HelpFileOrigin origin;
    const bool named = userdata::FormHelpFileName(file, userdata::kHelpPathSize, &origin) != 0;
    const std::string by = WideToUtf8(origin.valueName ? origin.valueName : L"");
    const std::string fix =
        origin.fromProfile ? "correct the profile value General\\" + by + ", or clear it" : std::string(kRepairHelp);
    if (!named) return Warning(kName, "no help file is named (setting " + by + ")", fix);
    if (!FileExists(file)) return Warning(kName, WideToUtf8(file) + " does not exist", fix);
    return Ok(kName, WideToUtf8(file));
}

Check ContextHelpFile() {
    constexpr char kName[] = "folders: context-help file";
    wchar_t file[userdata::kHelpPathSize] = {};
    if (GetContextFileName(file, userdata::kHelpPathSize) == 0)
        return Warning(kName, "no context-help file is named", "see folders: help file and the machine product root");
    if (!FileExists(file)) return Warning(kName, WideToUtf8(file) + " does not exist", kRepairHelp);
    return Ok(kName, WideToUtf8(file));
}

}  // namespace

void CheckFolders(Checks& checks) {
    for (const userdata::FolderRule& rule : userdata::kFolderRules) {
        if (rule.perUser) checks.push_back(UserFolder(rule));
    }
    checks.push_back(HelpFile());
    checks.push_back(ContextHelpFile());
}

}  // namespace udinfo
