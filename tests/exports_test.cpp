// The DLL's export table: exactly the names built so far, nothing more, and
// the two language names at one address.
#include <gmock/gmock.h>

#include <map>
#include <string>

#include <windows.h>

namespace {

// name -> RVA, read from the loaded image's export directory.
std::map<std::string, DWORD> ExportsOf(HMODULE module) {
    auto* base = reinterpret_cast<const unsigned char*>(module);
    auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const auto& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    std::map<std::string, DWORD> exports;
    if (dir.Size == 0) return exports;
    auto* table = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + dir.VirtualAddress);
    auto* names = reinterpret_cast<const DWORD*>(base + table->AddressOfNames);
    auto* ordinals = reinterpret_cast<const WORD*>(base + table->AddressOfNameOrdinals);
    auto* functions = reinterpret_cast<const DWORD*>(base + table->AddressOfFunctions);
    for (DWORD i = 0; i < table->NumberOfNames; ++i) {
        exports[reinterpret_cast<const char*>(base + names[i])] = functions[ordinals[i]];
    }
    return exports;
}

std::vector<std::string> ImportedDllsOf(HMODULE module) {
    auto* base = reinterpret_cast<const unsigned char*>(module);
    auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const auto& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    std::vector<std::string> dlls;
    for (auto* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress);
         d->Name != 0; ++d) {
        std::string name = reinterpret_cast<const char*>(base + d->Name);
        for (auto& c : name) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
        dlls.push_back(name);
    }
    return dlls;
}

const char* const kExpectedExports[] = {
    "tvudInitProductParams",
    "tvudSetUserProductRegistryRootKey",
    "tvudGetUserProductRegistryRootKey",
    "tvudGetMachineProductRegistryRootKey",
    "tvudGetGlobalRegistryRootKey",
    "GetCurrentProductIdentityIniPath",
    "tvudGetVerticalEnvPath",
    "tvudGetProductUILanguage",
    "_Z22tvudGetCurrentLanguagePwm",
    "_Z21tvudGetCurrentProductPwm",
    "_Z24tvudGetProductUALanguagev",
    "_Z26GetProductSpecificFilePathPKwPwm",
    "_Z14GetProgramNamePwm",
    "_Z14GetProductNamePwm",
    "_Z15GetHelpFileNamePwm",
    "_Z18GetContextFileNamePwm",
    "_Z22GetVerticalProductNamePwm",
    "_Z20tvudGetSpecialFolderB5cxx11N17TvUdSpecialFolder7FoldersE",
    "_Z20tvudGetSpecialFolderN17TvUdSpecialFolder7FoldersEPwy",
    "_Z20tvudGetXRootFoldPathPKwPwy",
    "_Z23tvudGetProductXFoldPathPwyN17TvUdSpecialFolder7FoldersE",
    "GetTRLVUserDataCacheLangPath",
    "_Z17tvudLoadMUIStringPKwPwy",
    "_Z19SetWorkingDirectoryv",
    "_Z15InstallUserDatav",
    "_Z22tvudIsSecondaryInstallv",
    "_Z15tvudIsNimbraDocv",
    "_Z27CheckCOMServerRelativePathsv",
    "_Z18ProcessAutoMigratev",
    "_Z16tvudRegSetStringP6HKEY__PKwS2_",
};

class UserDataImage : public ::testing::Test {
protected:
    void SetUp() override {
        module_ = LoadLibraryW(L"UserData.dll");
        ASSERT_NE(nullptr, module_);
    }
    void TearDown() override { FreeLibrary(module_); }
    HMODULE module_ = nullptr;
};

TEST_F(UserDataImage, ExportsExactlyTheExpectedNames) {
    std::vector<std::string> names;
    for (const auto& [name, rva] : ExportsOf(module_)) names.push_back(name);
    EXPECT_THAT(names, ::testing::UnorderedElementsAreArray(kExpectedExports));
}

TEST_F(UserDataImage, LanguageExportsShareOneAddress) {
    auto exports = ExportsOf(module_);
    ASSERT_EQ(1u, exports.count("tvudGetProductUILanguage"));
    EXPECT_EQ(exports["tvudGetProductUILanguage"], exports["_Z24tvudGetProductUALanguagev"]);
}

TEST_F(UserDataImage, ImportsThePlatformLayerButNotTheInstaller) {
    const auto dlls = ImportedDllsOf(module_);
    EXPECT_THAT(dlls, ::testing::Contains("tvpal.dll"));
    EXPECT_THAT(dlls, ::testing::Not(::testing::Contains("msi.dll")));
}

}  // namespace
