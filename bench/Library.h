// UserData.dll, loaded at run time. The benchmark does not link the import
// library, so that loading and freeing the DLL can be timed for real: a
// statically linked copy would stay loaded and every LoadLibraryW would only
// count a reference.
#pragma once

#include <cstddef>
#include <string>

#include <windows.h>

#include <UserData.h>

namespace udbench {

struct UserDataExports {
    unsigned int (*initProductParams)(const wchar_t*, const wchar_t*) = nullptr;
    unsigned int (*getCurrentLanguage)(wchar_t*, unsigned long) = nullptr;
    unsigned int (*getMachineProductRegistryRootKey)(wchar_t*, unsigned long) = nullptr;
    unsigned int (*getUserProductRegistryRootKey)(wchar_t*, unsigned long) = nullptr;
    unsigned int (*getSpecialFolder)(TvUdSpecialFolder::Folders, wchar_t*, std::size_t) = nullptr;
    unsigned int (*getHelpFileName)(wchar_t*, unsigned long) = nullptr;
    unsigned int (*getContextFileName)(wchar_t*, unsigned long) = nullptr;
    unsigned int (*loadMuiString)(const wchar_t*, wchar_t*, std::size_t) = nullptr;
    unsigned int (*regSetString)(HKEY, const wchar_t*, const wchar_t*) = nullptr;
    unsigned int (*installUserData)() = nullptr;
    bool (*checkComServerRelativePaths)() = nullptr;
    bool (*processAutoMigrate)() = nullptr;
};

// The DLL's file name, as the loader's search finds it beside the benchmark.
inline constexpr wchar_t kUserDataDll[] = L"UserData.dll";

// Loads UserData.dll and resolves every export the benchmark calls. On
// failure returns null and says why in `problem`; nothing stays loaded.
[[nodiscard]] HMODULE LoadUserData(UserDataExports& exports, std::string& problem);

}  // namespace udbench
