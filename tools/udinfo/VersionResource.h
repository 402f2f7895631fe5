// A module's version resource, read as data: none of the module's code runs.
#pragma once

#include <optional>
#include <string>

namespace udinfo {

struct VersionResource {
    std::wstring fileVersion;  // from the fixed part, "1.2.3.4"
    // From the string table of the resource's first translation; empty when
    // the resource names none.
    std::wstring originalFilename, companyName, productName, productVersion, fileDescription;
    std::wstring buildIdentity;  // UserData.dll's only: which sources its build was made from
};

// Nothing when the file has no version resource.
std::optional<VersionResource> ReadVersionResource(const std::wstring& path);

// The full path of a module this process has loaded, empty when it has none
// of that name.
std::wstring LoadedModulePath(const wchar_t* moduleName);

}  // namespace udinfo
