// Everything the benchmark puts on the machine, and takes away again: a
// product configuration with real folders, the product's machine and user
// keys, the products listed for per-user data, the required COM server's
// registration, a key for the registry string writer.
//
// All keys live under "Software\VeltraneBench" in both hives, apart from
// the COM server's, whose earlier state is restored. Leftovers of a run
// that was cut short are removed when the next one starts.
#pragma once

#include <string>
#include <vector>

#include <windows.h>

namespace udbench {

inline constexpr wchar_t kProductRoot[] = L"Software\\VeltraneBench\\Trelvix\\R27.0\\TRLV-7001:409";

class Workspace {
public:
    Workspace();
    ~Workspace();
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;

    // Writes the folders and the product configuration. False with a reason
    // when something cannot be created.
    [[nodiscard]] bool createFiles(std::string& problem);

    // The machine product root with "AutoMigrate" 1 and an empty UserData
    // key, the user product root with "AutoMigrate" 2, the DAP marker, the
    // required COM server registered by the relative path "x.dll", and the
    // string writer's key.
    [[nodiscard]] bool createKeys(std::string& problem);

    // Lists `count` products in the UserData key of the machine product
    // root, each with a per-user key whose "LocalRootFolder" names an
    // existing folder.
    [[nodiscard]] bool listProducts(unsigned int count, std::string& problem);

    // A product of its own for `count` listed products: a machine product
    // root of its own (so that every size can be timed in the same rounds)
    // and a configuration naming it, whose path goes to `configFile`.
    [[nodiscard]] bool createSizedProduct(unsigned int count, std::wstring& configFile, std::string& problem);

    const std::wstring& configFile() const { return configFile_; }
    const std::wstring& migratorLog() const { return migratorLog_; }
    // A path below the user's profile folder, for the string writer.
    const std::wstring& profileText() const { return profileText_; }
    HKEY writerKey() const { return writerKey_; }

private:
    [[nodiscard]] bool writeConfig(const std::wstring& file, const std::wstring& machineRoot, std::string& problem);
    [[nodiscard]] bool listProductsAt(const std::wstring& machineRoot, unsigned int count, std::string& problem);
    void removeKeys();
    void removeFiles();
    void restoreComServer();

    std::wstring base_;  // the run's own folder below %TEMP%, closing backslash kept
    std::wstring configFile_;
    std::wstring roamableFolder_;
    std::wstring migratorLog_;
    std::wstring profileText_;
    unsigned int productFolders_ = 0;
    HKEY writerKey_ = nullptr;

    // The COM server's registration as found.
    bool comKeysTouched_ = false;
    bool classKeyExisted_ = false;
    bool serverKeyExisted_ = false;
    bool defaultValueExisted_ = false;
    DWORD defaultValueType_ = REG_NONE;
    std::vector<BYTE> defaultValue_;
};

}  // namespace udbench
