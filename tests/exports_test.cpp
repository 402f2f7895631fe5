// The DLL's export table: exactly the names hosts link against, and the two
// language names at one address. (That msi.dll is not imported shows in
// install_test.cpp's FreshProcess.)
#include "support/TestSupport.h"

const char* const kExpectedExports[] = {
    "tvudInitProductParams", "tvudSetUserProductRegistryRootKey", "tvudGetUserProductRegistryRootKey",
    "tvudGetMachineProductRegistryRootKey", "tvudGetGlobalRegistryRootKey", "GetCurrentProductIdentityIniPath",
    "tvudGetVerticalEnvPath", "tvudGetProductUILanguage", "GetTRLVUserDataCacheLangPath",
    "_Z22tvudGetCurrentLanguagePwm", "_Z21tvudGetCurrentProductPwm", "_Z24tvudGetProductUALanguagev",
    "_Z26GetProductSpecificFilePathPKwPwm", "_Z14GetProgramNamePwm", "_Z14GetProductNamePwm",
    "_Z15GetHelpFileNamePwm", "_Z18GetContextFileNamePwm", "_Z22GetVerticalProductNamePwm",
    "_Z20tvudGetSpecialFolderB5cxx11N17TvUdSpecialFolder7FoldersE",
    "_Z20tvudGetSpecialFolderN17TvUdSpecialFolder7FoldersEPwy", "_Z20tvudGetXRootFoldPathPKwPwy",
    "_Z23tvudGetProductXFoldPathPwyN17TvUdSpecialFolder7FoldersE", "_Z17tvudLoadMUIStringPKwPwy",
    "_Z19SetWorkingDirectoryv", "_Z15InstallUserDatav", "_Z22tvudIsSecondaryInstallv", "_Z15tvudIsNimbraDocv",
    "_Z27CheckCOMServerRelativePathsv", "_Z18ProcessAutoMigratev", "_Z16tvudRegSetStringP6HKEY__PKwS2_",
};

TEST(UserDataImage, ExportsExactlyTheExpectedNames) {
    const userdata::UniqueModule module(LoadLibraryW(L"UserData.dll"));
    ASSERT_TRUE(module);
    const auto* base = reinterpret_cast<const unsigned char*>(module.get());
    const auto at = [base](DWORD rva) { return base + rva; };
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(at(dos->e_lfanew));
    const auto* table = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(
        at(headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT].VirtualAddress));
    const auto* names = reinterpret_cast<const DWORD*>(at(table->AddressOfNames));
    std::vector<std::string> exported;
    for (DWORD i = 0; i < table->NumberOfNames; ++i) exported.emplace_back(reinterpret_cast<const char*>(at(names[i])));
    EXPECT_THAT(exported, testing::UnorderedElementsAreArray(kExpectedExports));
    EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(module.get(), "tvudGetProductUILanguage")),
              reinterpret_cast<void*>(GetProcAddress(module.get(), "_Z24tvudGetProductUALanguagev")));
}
