#include "Report.h"

#include <UserData.h>
#include <windows.h>

#include <iterator>

#include "folders/FolderResolution.h"

#include "Fetch.h"
#include "FolderSource.h"

namespace udinfo {

namespace {

Section ProductContext() {
    const wchar_t* uiLanguage = tvudGetProductUILanguage();
    return {"product", "Product",
            {
                {"currentProduct", "Current product", Fetch(tvudGetCurrentProduct)},
                FlagRow("isNimbraDoc", "Nimbra Doc product", tvudIsNimbraDoc()),
                {"currentLanguage", "Current language", Fetch(tvudGetCurrentLanguage)},
                {"productUILanguage", "UI language", uiLanguage ? uiLanguage : L""},
                {"identityIniPath", "Identity ini file", Fetch(GetCurrentProductIdentityIniPath)},
                {"verticalEnvPath", "Vertical path", Fetch(tvudGetVerticalEnvPath)},
            }};
}

Section RegistryRoots() {
    return {"registry", "Registry roots",
            {
                {"userProductRoot", "User product root (HKCU)", Fetch(tvudGetUserProductRegistryRootKey)},
                {"machineProductRoot", "Machine product root (HKLM)",
                 Fetch(tvudGetMachineProductRegistryRootKey)},
                {"globalRoot", "Global root", Fetch(tvudGetGlobalRegistryRootKey)},
            }};
}

// The name getters return lengths (or a byte count), not the caller-buffer
// convention, and offer no size query: a generous buffer is the way to call them.
std::wstring FetchName(unsigned int (*getter)(wchar_t*, unsigned long)) {
    wchar_t buffer[2048] = {};
    return getter(buffer, 2048) == 0 ? std::wstring() : std::wstring(buffer);
}

Section NamesAndHelp() {
    return {"names", "Names and help",
            {
                {"programName", "Program name", FetchName(GetProgramName)},
                {"productName", "Product name", FetchName(GetProductName)},
                {"verticalProductName", "Vertical product name", FetchName(GetVerticalProductName)},
                {"helpFile", "Help file", FetchName(GetHelpFileName)},
                {"contextHelpFile", "Context-help file", FetchName(GetContextFileName)},
            }};
}

bool DirectoryExists(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

Section Folders() {
    Section section{"folders", "Special folders", {}};
    for (int value = 0; value < TvUdSpecialFolder::kFolderCount; ++value) {
        const char* name = TvUdSpecialFolder::kFolderNames[value];
        Row row(name, std::string(name) + " (" + std::to_string(value) + ")", FolderPath(value));
        row.folderValue = value;
        row.exists = !row.value.empty() && DirectoryExists(row.value);
        // The export's answer is shown; the library's own resolution, which
        // gives that answer, says where it came from.
        userdata::FolderOrigin origin;
        (void)userdata::ResolveFolderWithOrigin(static_cast<TvUdSpecialFolder::Folders>(value), origin);
        row.source = DescribeFolderSource(origin);
        section.rows.push_back(std::move(row));
    }
    return section;
}

}  // namespace

std::vector<Section> CollectReport() {
    return {ProductContext(), RegistryRoots(), NamesAndHelp(), Folders()};
}

}  // namespace udinfo
