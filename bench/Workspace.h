// What the benchmark puts on the machine and takes away again: folders, products,
// their keys below "Software\VeltraneBench" in both hives, and the required COM
// server's registration by a relative path where there is none. Leftovers of a
// run cut short go when the next one starts.
#pragma once

#include <windows.h>

#include <cwchar>
#include <filesystem>
#include <string>

#include <nlohmann/json.hpp>

#include "common/UniqueAny.h"
#include "common/Utf.h"
#include "folders/FolderRules.h"
#include "install/ComServerPathCheck.h"
#include "install/DapMarker.h"
#include "install/MigrationDecision.h"
#include "install/PerUserInstall.h"
#include "install/ProductRepairPass.h"
#include "names/HelpFileName.h"
#include "registry/UniqueHkey.h"

namespace udbench {

class Workspace {
public:
    Workspace() = default;
    ~Workspace() {
        if (comServerMade_ && RegDeleteTreeW(HKEY_LOCAL_MACHINE, kServerKey.c_str()) == ERROR_SUCCESS)
            RegDeleteKeyW(HKEY_LOCAL_MACHINE, kClassKey.c_str());
        for (HKEY hive : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) RegDeleteTreeW(hive, kBenchKey);
        std::error_code ignored;
        std::filesystem::remove_all(base_, ignored);
    }
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;

    // The roamable root folder with its marker, the user product root with
    // its switch at 2, and the COM server; false with a reason on failure.
    [[nodiscard]] bool create(std::string& problem) {
        for (HKEY hive : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) RegDeleteTreeW(hive, kBenchKey);  // a run cut short
        const std::wstring roamable = base_ + userdata::kFolderRules[TvUdSpecialFolder::RoamableRootFolder].name;
        LSTATUS status = MakeFolder(roamable) && WriteText(roamable + userdata::kDapMarkerName, {})
                             ? SetSwitch(HKEY_CURRENT_USER, kUserRoot, 2)
                             : ERROR_CANNOT_MAKE;
        // A registration not this benchmark's is left alone.
        wchar_t found[MAX_PATH] = L"";
        DWORD bytes = sizeof found;
        const LSTATUS read =
            RegGetValueW(HKEY_LOCAL_MACHINE, kServerKey.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, found, &bytes);
        comServerMade_ = read == ERROR_FILE_NOT_FOUND || std::wcscmp(found, kServerPath) == 0;
        if (status == ERROR_SUCCESS && comServerMade_)
            status = SetText(HKEY_LOCAL_MACHINE, kServerKey, nullptr, kServerPath);
        if (status != ERROR_SUCCESS) problem = "cannot set up the workspace (error " + std::to_string(status) + ")";
        return status == ERROR_SUCCESS;
    }

    // A product of its own (its machine root's switch at 1) listing `count`
    // products, each with a per-user key naming an existing local root
    // folder. Returns its configuration file, or nothing with a reason.
    [[nodiscard]] std::wstring product(unsigned int count, std::string& problem) {
        const std::wstring number = std::to_wstring(count);
        const std::wstring machineRoot =
            L"Software\\VeltraneBench\\Products\\" + number + L"\\Trelvix\\R27.0\\TRLV-7001:409";
        const std::wstring config = base_ + L"product-" + number + L".json";
        userdata::UniqueHkey list;
        LSTATUS status = SetSwitch(HKEY_LOCAL_MACHINE, machineRoot, 1);
        if (status == ERROR_SUCCESS)
            status = RegCreateKeyExW(HKEY_LOCAL_MACHINE, (machineRoot + userdata::kUserDataSubKey).c_str(), 0, nullptr,
                                     0, KEY_SET_VALUE, nullptr, list.put(), nullptr);
        for (unsigned long long i = 0; status == ERROR_SUCCESS && i < count; ++i) {
            const std::wstring userKey = L"Software\\VeltraneBench\\PerUser\\P" + std::to_wstring(i);
            const std::wstring folder = base_ + L"PerUser\\P" + std::to_wstring(i);
            // Listed by a product code in the Installer's form.
            const std::wstring productCode = L"{6A1F0C2E-0000-4000-8000-" + std::to_wstring(100000000000 + i) + L"}";
            status = MakeFolder(folder) ? SetText(HKEY_CURRENT_USER, userKey, userdata::kLocalRootFolderValue, folder)
                                        : ERROR_CANNOT_MAKE;
            if (status == ERROR_SUCCESS) status = SetText(list.get(), {}, productCode.c_str(), userKey);
        }
        if (status == ERROR_SUCCESS && WriteText(config, Configuration(machineRoot).dump(2))) return config;
        problem = "cannot list " + std::to_string(count) + " products (error " + std::to_string(status) + ")";
        return {};
    }

    const std::wstring& migratorLog() const { return migratorLog_; }

private:
    static constexpr wchar_t kBenchKey[] = L"Software\\VeltraneBench";
    static constexpr wchar_t kUserRoot[] = L"Software\\VeltraneBench\\Trelvix\\R27.0\\TRLV-7001:409";
    // The product's required COM class, the first the check visits.
    static inline const std::wstring kClassKey =
        L"Software\\Classes\\CLSID\\" + userdata::ComServerClasses()[0].classId;
    static inline const std::wstring kServerKey = kClassKey + L"\\InProcServer32";
    static constexpr wchar_t kServerPath[] = L"udbench-server.dll";  // relative, and telling whose it is

    static LSTATUS SetText(HKEY key, const std::wstring& path, const wchar_t* name, const std::wstring& text) {
        return RegSetKeyValueW(key, path.c_str(), name, REG_SZ, text.c_str(),
                               static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }
    static LSTATUS SetSwitch(HKEY hive, const std::wstring& root, DWORD value) {
        return RegSetKeyValueW(hive, root.c_str(), userdata::kAutoMigrateValue, REG_DWORD, &value, sizeof value);
    }
    static bool WriteText(const std::wstring& path, const std::string& text) {
        userdata::UniqueStdioFile file(_wfopen(path.c_str(), L"wb"));
        return file && std::fputs(text.c_str(), file.get()) >= 0 && std::fflush(file.get()) == 0;
    }
    static bool MakeFolder(const std::wstring& path) {
        std::error_code error;
        return std::filesystem::create_directories(path, error) || !error;
    }

    // The product for the stand-in; each settings folder is one below base_.
    nlohmann::json Configuration(const std::wstring& machineRoot) const {
        using userdata::WideToUtf8;
        nlohmann::json values = {{WideToUtf8(userdata::kDefaultHelpFileSetting), "trelvix.chm"}};
        for (const userdata::FolderRule& rule : userdata::kFolderRules)
            if (rule.source == userdata::FolderSource::Setting)
                values[WideToUtf8(rule.name)] = WideToUtf8(base_ + rule.name);
        return {{"roamingRootName", WideToUtf8(kUserRoot)},
                {"productCultureSpecificRootName", WideToUtf8(machineRoot)},
                {"currentLanguageName", "en-US"},
                {"resDir", "C:\\Program Files\\Veltrane\\Trelvix 2027"},
                {"productSettings", {{"", {{{"values", values}}}}}}};
    }

    // The run's own folder below %TEMP%, closing backslash kept.
    const std::wstring base_ =
        (std::filesystem::temp_directory_path() / (L"udbench-" + std::to_wstring(GetCurrentProcessId()))).wstring() +
        L"\\";
    const std::wstring migratorLog_ = base_ + L"migrator.log";
    bool comServerMade_ = false;
};

}  // namespace udbench
