// Prints what a host gets from every export it can link through an import
// library, one answer a line: "<export> <result> <text>". Built twice, with
// MinGW-w64 GCC and in MSVC mode, from this one source; the two outputs must
// be identical. Plain C I/O only: an MSVC-mode host has no GNU C++ runtime.
#include <stdio.h>

#include <UserData.h>

namespace {

// Non-ASCII characters are printed as \uXXXX, so the output does not depend
// on either C runtime's idea of the console's code page.
void Print(const char* name, unsigned long long result, const wchar_t* text = L"") {
    printf("%s %llu ", name, result);
    for (const wchar_t* c = text ? text : L"(null)"; *c; ++c) printf(*c < 0x80 ? "%c" : "\\u%04x", unsigned(*c));
    putchar('\n');
}

}  // namespace

int main() {
    Print("tvudInitProductParams", tvudInitProductParams(L"", L""));
    Print("tvudSetUserProductRegistryRootKey", tvudSetUserProductRegistryRootKey(L"Software\\Consumer"));
    // The getters of one caller buffer, bare and decorated names alike. A
    // local table: the addresses of imported functions are known only at run
    // time, and Wine's start-up code, which stands in for the MSVC runtime's
    // here, runs no static initialisers.
    #define GETTER(name) {#name, name}
    const struct { const char* name; unsigned int (*get)(wchar_t*, unsigned long); } kGetters[] = {
        GETTER(tvudGetUserProductRegistryRootKey), GETTER(tvudGetMachineProductRegistryRootKey),
        GETTER(tvudGetGlobalRegistryRootKey),      GETTER(GetCurrentProductIdentityIniPath),
        GETTER(tvudGetVerticalEnvPath),            GETTER(tvudGetCurrentLanguage),
        GETTER(tvudGetCurrentProduct),             GETTER(GetProgramName),
        GETTER(GetProductName),                    GETTER(GetHelpFileName),
        GETTER(GetContextFileName),                GETTER(GetVerticalProductName),
    };
    wchar_t buffer[MAX_PATH], second[MAX_PATH];
    for (const auto& getter : kGetters) Print(getter.name, getter.get(buffer, MAX_PATH), buffer);
    Print("tvudGetProductUILanguage", 0, tvudGetProductUILanguage());
    Print("tvudGetProductUALanguage", 0, tvudGetProductUALanguage());
    Print("GetTRLVUserDataCacheLangPath", GetTRLVUserDataCacheLangPath(buffer, second, MAX_PATH), buffer);
    Print("GetTRLVUserDataCacheLangPath", 0, second);
    Print("GetProductSpecificFilePath", GetProductSpecificFilePath(L"LicenseFile", buffer, MAX_PATH), buffer);
    Print("tvudGetXRootFoldPath", tvudGetXRootFoldPath(L"LocalRootFolder", buffer, MAX_PATH), buffer);
    Print("tvudLoadMUIString", tvudLoadMUIString(L"Trelvix \u00e9t\u00e9", buffer, MAX_PATH), buffer);
    // Every folder value and one beyond.
    for (int folder = 0; folder <= TvUdSpecialFolder::kFolderCount; ++folder) {
        const auto value = TvUdSpecialFolder::Folders(folder);
        Print("tvudGetSpecialFolder", tvudGetSpecialFolder(value, buffer, MAX_PATH), buffer);
        buffer[0] = L'\0';
        Print("tvudGetProductXFoldPath", tvudGetProductXFoldPath(buffer, MAX_PATH, value), buffer);
    }
    SetWorkingDirectory();
    Print("SetWorkingDirectory", GetCurrentDirectoryW(MAX_PATH, buffer) > 0, buffer);
    Print("InstallUserData", InstallUserData());
    Print("tvudIsSecondaryInstall", tvudIsSecondaryInstall());
    Print("tvudIsNimbraDoc", tvudIsNimbraDoc());
    Print("CheckCOMServerRelativePaths", CheckCOMServerRelativePaths());
    Print("ProcessAutoMigrate", ProcessAutoMigrate());
    // Written at the root of the user's hive, where no key has to be made, and read back.
    const wchar_t* value = L"UserDataConsumerAnswer";
    Print("tvudRegSetString", tvudRegSetString(HKEY_CURRENT_USER, value, L"C:\\Answer \u00e9t\u00e9"));
    DWORD bytes = sizeof buffer;
    Print("tvudRegSetString", RegGetValueW(HKEY_CURRENT_USER, nullptr, value, RRF_RT_REG_SZ, nullptr, buffer, &bytes),
          buffer);
    RegDeleteKeyValueW(HKEY_CURRENT_USER, nullptr, value);
    return 0;
}
