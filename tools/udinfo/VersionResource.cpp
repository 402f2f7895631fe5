#include "VersionResource.h"

#include <cstdio>
#include <vector>

#include <windows.h>

namespace udinfo {

namespace {

// The fixed part's file version, which every version resource has.
std::wstring FixedFileVersion(const std::vector<unsigned char>& info) {
    void* value = nullptr;
    UINT bytes = 0;
    if (!VerQueryValueW(info.data(), L"\\", &value, &bytes) || bytes < sizeof(VS_FIXEDFILEINFO)) return {};
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    wchar_t text[64];
    std::swprintf(text, 64, L"%u.%u.%u.%u", HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
                  HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS));
    return text;
}

// "\StringFileInfo\<language><code page>\" of the first translation the
// resource lists: its strings may be in any language, not only US English.
std::wstring StringTable(const std::vector<unsigned char>& info) {
    struct Translation {
        WORD language, codePage;
    };
    void* value = nullptr;
    UINT bytes = 0;
    if (!VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation", &value, &bytes) || bytes < sizeof(Translation))
        return {};
    const auto* first = static_cast<const Translation*>(value);
    wchar_t block[64];
    std::swprintf(block, 64, L"\\StringFileInfo\\%04x%04x\\", first->language, first->codePage);
    return block;
}

std::wstring Text(const std::vector<unsigned char>& info, const std::wstring& table, const wchar_t* name) {
    void* value = nullptr;
    UINT chars = 0;
    if (table.empty() || !VerQueryValueW(info.data(), (table + name).c_str(), &value, &chars) || chars == 0) return {};
    return static_cast<const wchar_t*>(value);
}

}  // namespace

std::optional<VersionResource> ReadVersionResource(const std::wstring& path) {
    DWORD ignored = 0;
    std::vector<unsigned char> info(GetFileVersionInfoSizeW(path.c_str(), &ignored));
    if (info.empty() || !GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(info.size()), info.data()))
        return std::nullopt;
    const std::wstring table = StringTable(info);
    return VersionResource{FixedFileVersion(info),              Text(info, table, L"OriginalFilename"),
                           Text(info, table, L"CompanyName"),     Text(info, table, L"ProductName"),
                           Text(info, table, L"ProductVersion"),  Text(info, table, L"FileDescription"),
                           Text(info, table, L"BuildIdentity")};
}

std::wstring LoadedModulePath(const wchar_t* moduleName) {
    const HMODULE module = GetModuleHandleW(moduleName);
    wchar_t path[MAX_PATH];
    const DWORD length = module == nullptr ? 0 : GetModuleFileNameW(module, path, MAX_PATH);
    return length == 0 || length >= MAX_PATH ? std::wstring() : std::wstring(path, length);
}

}  // namespace udinfo
