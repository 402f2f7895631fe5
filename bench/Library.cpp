#include "Library.h"

#include <type_traits>

namespace udbench {

namespace {

// The pointer types above must be exactly the header's signatures; the
// overloaded tvudGetSpecialFolder is checked through its buffer form's call.
static_assert(std::is_same_v<decltype(UserDataExports::initProductParams), decltype(&::tvudInitProductParams)>);
static_assert(std::is_same_v<decltype(UserDataExports::getCurrentLanguage), decltype(&::tvudGetCurrentLanguage)>);
static_assert(std::is_same_v<decltype(UserDataExports::getMachineProductRegistryRootKey),
                             decltype(&::tvudGetMachineProductRegistryRootKey)>);
static_assert(std::is_same_v<decltype(UserDataExports::getUserProductRegistryRootKey),
                             decltype(&::tvudGetUserProductRegistryRootKey)>);
static_assert(std::is_same_v<decltype(UserDataExports::getHelpFileName), decltype(&::GetHelpFileName)>);
static_assert(std::is_same_v<decltype(UserDataExports::getContextFileName), decltype(&::GetContextFileName)>);
static_assert(std::is_same_v<decltype(UserDataExports::loadMuiString), decltype(&::tvudLoadMUIString)>);
static_assert(std::is_same_v<decltype(UserDataExports::regSetString), decltype(&::tvudRegSetString)>);
static_assert(std::is_same_v<decltype(UserDataExports::installUserData), decltype(&::InstallUserData)>);
static_assert(std::is_same_v<decltype(UserDataExports::checkComServerRelativePaths),
                             decltype(&::CheckCOMServerRelativePaths)>);
static_assert(std::is_same_v<decltype(UserDataExports::processAutoMigrate), decltype(&::ProcessAutoMigrate)>);
static_assert(std::is_same_v<decltype(::tvudGetSpecialFolder(TvUdSpecialFolder::ProductFolder, nullptr,
                                                             std::size_t{0})),
                             unsigned int>);

template <typename Function>
bool Resolve(HMODULE module, const char* name, Function& function, std::string& problem) {
    // GetProcAddress hands out a generic pointer; the static_asserts above
    // vouch for the real signature.
    function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    if (function == nullptr) problem = std::string("UserData.dll exports no ") + name;
    return function != nullptr;
}

}  // namespace

HMODULE LoadUserData(UserDataExports& exports, std::string& problem) {
    const HMODULE module = LoadLibraryW(kUserDataDll);
    if (module == nullptr) {
        problem = "UserData.dll does not load (error " + std::to_string(GetLastError()) + ")";
        return nullptr;
    }
    // Decorated names for the exports that carry them (MinGW-w64 x86-64).
    const bool all =
        Resolve(module, "tvudInitProductParams", exports.initProductParams, problem) &&
        Resolve(module, "_Z22tvudGetCurrentLanguagePwm", exports.getCurrentLanguage, problem) &&
        Resolve(module, "tvudGetMachineProductRegistryRootKey", exports.getMachineProductRegistryRootKey,
                problem) &&
        Resolve(module, "tvudGetUserProductRegistryRootKey", exports.getUserProductRegistryRootKey, problem) &&
        Resolve(module, "_Z20tvudGetSpecialFolderN17TvUdSpecialFolder7FoldersEPwy", exports.getSpecialFolder,
                problem) &&
        Resolve(module, "_Z15GetHelpFileNamePwm", exports.getHelpFileName, problem) &&
        Resolve(module, "_Z18GetContextFileNamePwm", exports.getContextFileName, problem) &&
        Resolve(module, "_Z17tvudLoadMUIStringPKwPwy", exports.loadMuiString, problem) &&
        Resolve(module, "_Z16tvudRegSetStringP6HKEY__PKwS2_", exports.regSetString, problem) &&
        Resolve(module, "_Z15InstallUserDatav", exports.installUserData, problem) &&
        Resolve(module, "_Z27CheckCOMServerRelativePathsv", exports.checkComServerRelativePaths, problem) &&
        Resolve(module, "_Z18ProcessAutoMigratev", exports.processAutoMigrate, problem);
    if (!all) {
        FreeLibrary(module);
        exports = {};
        return nullptr;
    }
    return module;
}

}  // namespace udbench
