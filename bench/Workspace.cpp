#include "Workspace.h"

#include <cstdio>
#include <cwchar>

namespace udbench {

namespace {

constexpr wchar_t kBenchKey[] = L"Software\\VeltraneBench";
constexpr wchar_t kPerUserKey[] = L"Software\\VeltraneBench\\PerUser";
constexpr wchar_t kWriterKey[] = L"Software\\VeltraneBench\\Writer";
constexpr wchar_t kClassKey[] = L"Software\\Classes\\CLSID\\{3F6B2D84-9E15-4C7A-8B02-D4A9C1E65F38}";
constexpr wchar_t kServerKey[] =
    L"Software\\Classes\\CLSID\\{3F6B2D84-9E15-4C7A-8B02-D4A9C1E65F38}\\InProcServer32";

std::wstring UserDataKey(const std::wstring& machineRoot) { return machineRoot + L"\\UserData"; }

std::string Narrow(const std::wstring& text) {
    if (text.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                      nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::string Json(const std::wstring& text) {
    std::string out = "\"";
    for (const char c : Narrow(text)) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    return out + "\"";
}

std::string Failed(const std::string& what, DWORD status) {
    return what + " (error " + std::to_string(status) + ")";
}

LSTATUS CreateKey(HKEY hive, const std::wstring& path, HKEY* opened = nullptr) {
    HKEY key = nullptr;
    const LSTATUS status =
        RegCreateKeyExW(hive, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    if (status != ERROR_SUCCESS) return status;
    if (opened != nullptr) *opened = key;
    else RegCloseKey(key);
    return ERROR_SUCCESS;
}

LSTATUS SetString(HKEY hive, const std::wstring& path, const wchar_t* name, const std::wstring& value) {
    return RegSetKeyValueW(hive, path.c_str(), name, REG_SZ, value.c_str(),
                           static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

LSTATUS SetDword(HKEY hive, const std::wstring& path, const wchar_t* name, DWORD value) {
    return RegSetKeyValueW(hive, path.c_str(), name, REG_DWORD, &value, sizeof value);
}

bool CreateFolder(const std::wstring& path) {
    return CreateDirectoryW(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

bool WriteFile(const std::wstring& path, const std::string& contents) {
    FILE* file = _wfopen(path.c_str(), L"wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(contents.data(), 1, contents.size(), file) == contents.size();
    return std::fclose(file) == 0 && written;
}

// Removes `folder` (closing backslash kept) with everything in it.
void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW entry;
    const HANDLE search = FindFirstFileW((folder + L"*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..") continue;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(folder + name + L"\\");
            else DeleteFileW((folder + name).c_str());
        } while (FindNextFileW(search, &entry));
        FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
}

std::wstring Environment(const wchar_t* name) {
    wchar_t value[1024];
    const DWORD n = GetEnvironmentVariableW(name, value, 1024);
    return n == 0 || n >= 1024 ? std::wstring() : std::wstring(value, n);
}

std::wstring Numbered(const wchar_t* format, unsigned int index) {
    wchar_t text[64];
    std::swprintf(text, 64, format, index);
    return text;
}

}  // namespace

Workspace::Workspace() {
    wchar_t temp[MAX_PATH + 1];
    const DWORD n = GetTempPathW(MAX_PATH + 1, temp);
    base_ = std::wstring(temp, n) + L"udbench-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
    configFile_ = base_ + L"product.json";
    roamableFolder_ = base_ + L"Roaming\\";
    migratorLog_ = base_ + L"migrator.log";
    profileText_ =
        Environment(L"USERPROFILE") + L"\\AppData\\Roaming\\Veltrane\\Trelvix 2027\\R27.0\\Support\\startup.tvs";
    removeKeys();  // a run cut short leaves its keys behind
}

Workspace::~Workspace() {
    restoreComServer();
    removeKeys();
    removeFiles();
}

bool Workspace::createFiles(std::string& problem) {
    for (const std::wstring& folder : {base_, roamableFolder_, base_ + L"PerUser\\"}) {
        if (!CreateFolder(folder)) {
            problem = Failed("cannot create " + Narrow(folder), GetLastError());
            return false;
        }
    }
    if (!WriteFile(roamableFolder_ + L"DAP", {})) {
        problem = "cannot create the DAP marker in " + Narrow(roamableFolder_);
        return false;
    }
    return writeConfig(configFile_, kProductRoot, problem);
}

bool Workspace::writeConfig(const std::wstring& file, const std::wstring& machineRoot, std::string& problem) {
    const std::wstring local = base_ + L"Local\\";
    const std::wstring shared = L"C:\\Program Files\\Common Files\\Veltrane Shared\\";
    const std::wstring allUsers = L"C:\\ProgramData\\Veltrane\\Trelvix 2027\\R27.0\\";
    std::string json = "{\n";
    const auto field = [&json](const char* key, const std::wstring& value) {
        json += std::string("  \"") + key + "\": " + Json(value) + ",\n";
    };
    field("roamingRootName", kProductRoot);
    field("productCultureSpecificRootName", machineRoot);
    field("productGlobalRootName", L"Software\\VeltraneBench\\Trelvix\\R27.0");
    field("currentLanguageName", L"en-US");
    field("currentProduct", L"TRLV");
    field("resDir", L"C:\\Program Files\\Veltrane\\Trelvix 2027");
    field("myDocumentsPath", Environment(L"USERPROFILE") + L"\\Documents");
    field("pathSeparator", L"\\");
    const std::pair<const wchar_t*, std::wstring> values[] = {
        {L"RoamableRootFolder", roamableFolder_},
        {L"RoamableRootFolderLang", roamableFolder_ + L"en-US\\"},
        {L"LocalRootFolder", local},
        {L"LocalRootFolderLang", local + L"en-US\\"},
        {L"VeltraneSharedFolder", shared},
        {L"VeltraneSharedFolderLang", shared + L"en-US\\"},
        {L"AllUsersFolder", allUsers},
        {L"GraphicsCacheFolder", local + L"en-US\\GraphicsCache\\"},
        {L"SandboxCrashSaveFolder", local + L"en-US\\CrashSave\\"},
        {L"SupportFolder", roamableFolder_ + L"Support\\"},
        {L"SupportFolderLang", roamableFolder_ + L"Support\\en-US\\"},
        {L"DefaultHelpFileName", L"trelvix.chm"},
    };
    json += "  \"productSettings\": { \"\": [ { \"values\": {\n";
    for (const auto& [name, value] : values) {
        if (name != values[0].first) json += ",\n";
        json += "    " + Json(name) + ": " + Json(value);
    }
    json += "\n  } } ] },\n  \"profiles\": { \"General\": { \"TRLVHELP\": \"\", \"HELP\": \"\" } }\n}\n";
    if (!WriteFile(file, json)) {
        problem = "cannot write " + Narrow(file);
        return false;
    }
    return true;
}

bool Workspace::createKeys(std::string& problem) {
    LSTATUS status = SetDword(HKEY_LOCAL_MACHINE, kProductRoot, L"AutoMigrate", 1);
    if (status == ERROR_SUCCESS) status = CreateKey(HKEY_LOCAL_MACHINE, UserDataKey(kProductRoot));
    if (status != ERROR_SUCCESS) {
        problem = Failed("cannot write the machine product root below HKEY_LOCAL_MACHINE", status);
        return false;
    }
    status = SetDword(HKEY_CURRENT_USER, kProductRoot, L"AutoMigrate", 2);
    if (status == ERROR_SUCCESS) status = CreateKey(HKEY_CURRENT_USER, kWriterKey, &writerKey_);
    if (status != ERROR_SUCCESS) {
        problem = Failed("cannot write the user product root below HKEY_CURRENT_USER", status);
        return false;
    }

    // The required COM server, registered by a relative path so that the
    // installation pass has nothing to repair. What was there is kept.
    HKEY key = nullptr;
    classKeyExisted_ = RegOpenKeyExW(HKEY_LOCAL_MACHINE, kClassKey, 0, KEY_READ, &key) == ERROR_SUCCESS;
    if (classKeyExisted_) RegCloseKey(key);
    serverKeyExisted_ = RegOpenKeyExW(HKEY_LOCAL_MACHINE, kServerKey, 0, KEY_READ, &key) == ERROR_SUCCESS;
    if (serverKeyExisted_) {
        DWORD bytes = 0;
        defaultValueExisted_ =
            RegQueryValueExW(key, nullptr, nullptr, &defaultValueType_, nullptr, &bytes) == ERROR_SUCCESS;
        defaultValue_.resize(bytes);
        if (defaultValueExisted_ && bytes > 0)
            defaultValueExisted_ = RegQueryValueExW(key, nullptr, nullptr, &defaultValueType_, defaultValue_.data(),
                                                    &bytes) == ERROR_SUCCESS;
        RegCloseKey(key);
    }
    comKeysTouched_ = true;
    status = SetString(HKEY_LOCAL_MACHINE, kServerKey, nullptr, L"x.dll");
    if (status != ERROR_SUCCESS) {
        problem = Failed("cannot register the required COM server", status);
        return false;
    }
    return true;
}

bool Workspace::listProducts(unsigned int count, std::string& problem) {
    return listProductsAt(kProductRoot, count, problem);
}

bool Workspace::createSizedProduct(unsigned int count, std::wstring& configFile, std::string& problem) {
    const std::wstring machineRoot =
        L"Software\\VeltraneBench\\Sizes\\" + std::to_wstring(count) + L"\\Trelvix\\R27.0\\TRLV-7001:409";
    configFile = base_ + L"product-" + std::to_wstring(count) + L".json";
    return writeConfig(configFile, machineRoot, problem) && listProductsAt(machineRoot, count, problem);
}

bool Workspace::listProductsAt(const std::wstring& machineRoot, unsigned int count, std::string& problem) {
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, UserDataKey(machineRoot).c_str());
    HKEY list = nullptr;
    LSTATUS status = CreateKey(HKEY_LOCAL_MACHINE, UserDataKey(machineRoot), &list);
    for (unsigned int i = 0; status == ERROR_SUCCESS && i < count; ++i) {
        const std::wstring userKey = std::wstring(kPerUserKey) + Numbered(L"\\P%04u", i);
        if (i >= productFolders_) {
            const std::wstring folder = base_ + L"PerUser\\" + Numbered(L"P%04u\\", i);
            if (!CreateFolder(folder)) {
                status = GetLastError();
                break;
            }
            status = SetString(HKEY_CURRENT_USER, userKey, L"LocalRootFolder", folder);
            if (status != ERROR_SUCCESS) break;
            productFolders_ = i + 1;
        }
        // A product code in the Installer's form.
        const std::wstring productCode = Numbered(L"{6A1F0C2E-0000-4000-8000-%012X}", i);
        status = RegSetValueExW(list, productCode.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(userKey.c_str()),
                                static_cast<DWORD>((userKey.size() + 1) * sizeof(wchar_t)));
    }
    if (list != nullptr) RegCloseKey(list);
    if (status != ERROR_SUCCESS) {
        problem = Failed("cannot list " + std::to_string(count) + " products", status);
        return false;
    }
    return true;
}

void Workspace::removeKeys() {
    if (writerKey_ != nullptr) RegCloseKey(writerKey_);
    writerKey_ = nullptr;
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kBenchKey);
    RegDeleteTreeW(HKEY_CURRENT_USER, kBenchKey);
}

void Workspace::removeFiles() {
    if (!base_.empty()) RemoveTree(base_);
}

void Workspace::restoreComServer() {
    if (!comKeysTouched_) return;
    comKeysTouched_ = false;
    if (!classKeyExisted_) {
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, kClassKey);
    } else if (!serverKeyExisted_) {
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, kServerKey);
    } else if (!defaultValueExisted_) {
        RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kServerKey, nullptr);
    } else {
        RegSetKeyValueW(HKEY_LOCAL_MACHINE, kServerKey, nullptr, defaultValueType_, defaultValue_.data(),
                        static_cast<DWORD>(defaultValue_.size()));
    }
}

}  // namespace udbench
