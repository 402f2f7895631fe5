#include "Floors.h"

#include <array>
#include <cwchar>
#include <string>

#include <shlwapi.h>

#include <platform/TvPal.h>

namespace udbench::floors {

namespace {

namespace Pal = Veltrane::Trelvix::PAL;
using Pal::Settings::Container;
using Pal::Settings::Roots;

// Built once: the platform layer takes names as std::wstring.
const std::wstring kEmpty;
const std::wstring kTrlvHelp = L"TRLVHELP";
const std::wstring kHelp = L"HELP";
const std::wstring kDefaultHelpFileName = L"DefaultHelpFileName";
const std::wstring kRoamableRootFolder = L"RoamableRootFolder";

enum class Source { Product, Help, Setting };

struct Folder {
    Source source;
    const wchar_t* subFolder;  // Product: below the resource directory
    bool withLanguage;         // Product and Help
    std::wstring setting;      // Setting: the value that names the folder
    bool fallsBack;            // Setting: the product folder when missing
};

const std::array<Folder, 19> kFolders = {{
    {Source::Product, nullptr, false, {}, false},
    {Source::Product, nullptr, true, {}, false},
    {Source::Help, nullptr, false, {}, false},
    {Source::Help, nullptr, true, {}, false},
    {Source::Product, L"Sample", false, {}, false},
    {Source::Product, L"Sample", true, {}, false},
    {Source::Setting, nullptr, false, L"RoamableRootFolder", true},
    {Source::Setting, nullptr, false, L"RoamableRootFolderLang", false},
    {Source::Setting, nullptr, false, L"LocalRootFolder", true},
    {Source::Setting, nullptr, false, L"LocalRootFolderLang", false},
    {Source::Setting, nullptr, false, L"VeltraneSharedFolder", false},
    {Source::Setting, nullptr, false, L"VeltraneSharedFolderLang", false},
    {Source::Setting, nullptr, false, L"AllUsersFolder", false},
    {Source::Setting, nullptr, false, L"GraphicsCacheFolder", false},
    {Source::Product, L"UserDataCache", false, {}, false},
    {Source::Product, L"UserDataCache", true, {}, false},
    {Source::Setting, nullptr, false, L"SandboxCrashSaveFolder", false},
    {Source::Setting, nullptr, false, L"SupportFolder", false},
    {Source::Setting, nullptr, false, L"SupportFolderLang", false},
}};

unsigned int CopyOut(const wchar_t* text, std::size_t length, wchar_t* buffer, std::size_t capacity) {
    if (length == 0 || length >= capacity) return 0;
    std::wmemcpy(buffer, text, length);
    buffer[length] = L'\0';
    return static_cast<unsigned int>(length + 1);
}

// The value from the first good container of "" that holds it. The visitor
// captures one pointer, so std::function keeps it without allocating.
bool ReadSetting(const std::wstring& name, std::wstring& value) {
    struct Visit {
        const std::wstring* name;
        std::wstring* value;
        bool found;
    } visit{&name, &value, false};
    Pal::Settings::read().getProductSettings(
        L"",
        [&visit](const Container& container) {
            if (!container.good() || !container.exists(*visit.name)) return true;
            *visit.value = container.getString(*visit.name, kEmpty);
            visit.found = true;
            return false;
        },
        true);
    return visit.found;
}

// Appends `text` to the path of `length` characters in `buffer`, with the
// platform separator between them unless the path ends with it.
bool Join(wchar_t* buffer, std::size_t& length, std::size_t capacity, wchar_t separator, const wchar_t* text,
          std::size_t textLength) {
    const bool needsSeparator = length > 0 && buffer[length - 1] != separator;
    if (length + (needsSeparator ? 1 : 0) + textLength >= capacity) return false;
    if (needsSeparator) buffer[length++] = separator;
    std::wmemcpy(buffer + length, text, textLength);
    length += textLength;
    buffer[length] = L'\0';
    return true;
}

unsigned int ProductFolder(const Folder& folder, wchar_t* buffer, std::size_t capacity) {
    const std::wstring& resDir = Pal::PackageUtils::resDir().native();
    if (resDir.empty()) return 0;
    const wchar_t* language = Roots::currentLanguageName();
    const std::size_t languageLength = std::wcslen(language);
    // The answer is text up to its first NUL: the copy is wcslen and wmemcpy.
    std::size_t length = std::wcslen(resDir.c_str());
    if (languageLength == 0 || length >= capacity) return 0;
    std::wmemcpy(buffer, resDir.data(), length + 1);
    if (folder.subFolder == nullptr && !folder.withLanguage) return static_cast<unsigned int>(length + 1);

    const wchar_t separator = Pal::FileSystem::path_separator();
    const std::size_t subLength = folder.subFolder ? std::wcslen(folder.subFolder) : 0;
    const bool needsSeparator = buffer[length - 1] != separator;
    const std::size_t total = length + (needsSeparator ? 1 : 0) + subLength +
                              (folder.subFolder && folder.withLanguage ? 1 : 0) +
                              (folder.withLanguage ? languageLength : 0);
    if (total >= capacity) return 0;
    if (needsSeparator) buffer[length++] = separator;
    if (folder.subFolder) {
        std::wmemcpy(buffer + length, folder.subFolder, subLength);
        length += subLength;
        if (folder.withLanguage) buffer[length++] = L'\\';
    }
    if (folder.withLanguage) {
        std::wmemcpy(buffer + length, language, languageLength);
        length += languageLength;
    }
    buffer[length] = L'\0';
    return static_cast<unsigned int>(length + 1);
}

unsigned int HelpFolder(bool withLanguage, wchar_t* buffer, std::size_t capacity) {
    wchar_t helpFile[1024];
    if (HelpFile(helpFile, 1024) == 0) return 0;
    const wchar_t* slash = std::wcsrchr(helpFile, L'\\');
    if (slash == nullptr) return 0;
    std::size_t length = static_cast<std::size_t>(slash - helpFile) + 1;
    if (length >= capacity) return 0;
    std::wmemcpy(buffer, helpFile, length);
    buffer[length] = L'\0';
    if (withLanguage) {
        const wchar_t* language = Roots::currentLanguageName();
        if (!Join(buffer, length, capacity, Pal::FileSystem::path_separator(), language, std::wcslen(language)))
            return 0;
    }
    return static_cast<unsigned int>(length + 1);
}

unsigned int Copy(const wchar_t* source, wchar_t* buffer, std::size_t capacity) {
    const std::size_t length = std::wcslen(source);
    if (length == 0 || length >= capacity) return 0;
    std::wmemcpy(buffer, source, length + 1);
    return static_cast<unsigned int>(length + 1);
}

}  // namespace

unsigned int Language(wchar_t* buffer, std::size_t capacity) {
    return Copy(Roots::currentLanguageName(), buffer, capacity);
}

unsigned int MachineRoot(wchar_t* buffer, std::size_t capacity) {
    return Copy(Roots::productCultureSpecificRootName(), buffer, capacity);
}

unsigned int SpecialFolder(int value, wchar_t* buffer, std::size_t capacity) {
    if (value < 0 || value >= static_cast<int>(kFolders.size())) return 0;
    const Folder& folder = kFolders[static_cast<std::size_t>(value)];
    switch (folder.source) {
    case Source::Product:
        return ProductFolder(folder, buffer, capacity);
    case Source::Help:
        return HelpFolder(folder.withLanguage, buffer, capacity);
    case Source::Setting: {
        std::wstring path;
        if (ReadSetting(folder.setting, path)) {
            const std::size_t length = std::wcslen(path.c_str());
            if (length != 0 && length < 2048) return CopyOut(path.data(), length, buffer, capacity);
        }
        return folder.fallsBack ? ProductFolder(kFolders[0], buffer, capacity) : 0;
    }
    }
    return 0;
}

unsigned int HelpFile(wchar_t* buffer, std::size_t capacity) {
    const Container general = Pal::Settings::read().currentProfile(L"General");
    std::wstring fromProfile = general.getString(kTrlvHelp, kEmpty);
    if (fromProfile.empty()) fromProfile = general.getString(kHelp, kEmpty);
    if (!fromProfile.empty()) return Copy(fromProfile.c_str(), buffer, capacity);

    std::wstring fileName;
    ReadSetting(kDefaultHelpFileName, fileName);
    const std::wstring& resDir = Pal::PackageUtils::resDir().native();
    std::size_t length = std::wcslen(resDir.c_str());
    if (length == 0 || length >= capacity) return 0;
    std::wmemcpy(buffer, resDir.data(), length + 1);
    const wchar_t separator = Pal::FileSystem::path_separator();
    if (!Join(buffer, length, capacity, separator, L"Help", 4)) return 0;
    if (!Join(buffer, length, capacity, separator, fileName.c_str(), std::wcslen(fileName.c_str()))) return 0;
    return static_cast<unsigned int>(length);
}

unsigned int ContextFile(wchar_t* buffer, std::size_t capacity) {
    wchar_t helpFile[260];
    if (HelpFile(helpFile, 260) == 0) return 0;
    // The program: the component of the machine root before its last hyphen.
    const wchar_t* root = Roots::productCultureSpecificRootName();
    const wchar_t* hyphen = std::wcsrchr(root, L'-');
    if (hyphen == nullptr) return 0;
    const wchar_t* program = hyphen;
    while (program > root && program[-1] != L'\\') --program;
    if (program == root) return 0;
    const std::size_t programLength = static_cast<std::size_t>(hyphen - program);

    const wchar_t* slash = std::wcsrchr(helpFile, L'\\');
    const std::size_t directoryLength = slash ? static_cast<std::size_t>(slash - helpFile) + 1 : 0;
    const std::size_t length = directoryLength + programLength + 8;
    if (length >= capacity) return 0;
    std::wmemcpy(buffer, helpFile, directoryLength);
    std::wmemcpy(buffer + directoryLength, program, programLength);
    std::wmemcpy(buffer + directoryLength + programLength, L"CTXT.CHM", 9);
    return static_cast<unsigned int>(length);
}

namespace {

// The required server's registration holds no drive; the optional ones are
// not registered.
bool ComServersRelative() {
    HKEY key = nullptr;
    bool relative = false;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, L"CLSID\\{3F6B2D84-9E15-4C7A-8B02-D4A9C1E65F38}\\InProcServer32", 0,
                      KEY_READ, &key) == ERROR_SUCCESS) {
        wchar_t path[MAX_PATH + 1] = {};
        DWORD bytes = MAX_PATH * sizeof(wchar_t);
        relative = RegQueryValueExW(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(path), &bytes) ==
                       ERROR_SUCCESS &&
                   std::wcschr(path, L':') == nullptr;
        RegCloseKey(key);
    }
    for (const wchar_t* optional : {L"CLSID\\{5E3A9C41-7B20-4D8F-9A61-0C2F4B8E7D13}\\InProcServer32",
                                    L"CLSID\\{A2D47F90-3C18-4E6B-B5D0-8F1E92C6A457}\\InProcServer32"}) {
        if (RegOpenKeyExW(HKEY_CLASSES_ROOT, optional, 0, KEY_READ, &key) == ERROR_SUCCESS) RegCloseKey(key);
    }
    return relative;
}

bool FolderIsUsable(const wchar_t* folder) {
    if (GetFileAttributesW(folder) == INVALID_FILE_ATTRIBUTES) return false;
    const HANDLE handle =
        CreateFileW(folder, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    CloseHandle(handle);
    return true;
}

DWORD ReadSwitch(HKEY hive, const wchar_t* path, LSTATUS& status) {
    HKEY key = nullptr;
    DWORD value = 0;
    status = RegOpenKeyExW(hive, path, 0, KEY_QUERY_VALUE, &key);
    if (status != ERROR_SUCCESS) return 0;
    DWORD bytes = sizeof value;
    status = RegGetValueW(key, nullptr, L"AutoMigrate", RRF_RT_ANY, nullptr, &value, &bytes);
    RegCloseKey(key);
    return value;
}

}  // namespace

unsigned int InstallPass() {
    wchar_t keyPath[512];
    const wchar_t* root = Roots::productCultureSpecificRootName();
    const std::size_t rootLength = std::wcslen(root);
    if (rootLength == 0 || rootLength > 502) return 0;
    std::wmemcpy(keyPath, root, rootLength);
    std::wmemcpy(keyPath + rootLength, L"\\UserData", 10);

    HKEY list = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_QUERY_VALUE, &list) != ERROR_SUCCESS) return 0;
    if (!ComServersRelative()) {
        RegCloseKey(list);
        return 0;
    }
    DWORD values = 0;
    RegQueryInfoKeyW(list, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr, nullptr,
                     nullptr);
    unsigned int usable = 0;
    for (DWORD index = 0; index < values; ++index) {
        wchar_t name[256];
        wchar_t data[1024];
        DWORD nameChars = 256;
        DWORD dataBytes = sizeof data - sizeof(wchar_t);
        if (RegEnumValueW(list, index, name, &nameChars, nullptr, nullptr, reinterpret_cast<BYTE*>(data),
                          &dataBytes) != ERROR_SUCCESS)
            continue;
        data[dataBytes / sizeof(wchar_t)] = L'\0';
        if (name[0] == L'\0') continue;
        HKEY user = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, data, 0, KEY_READ, &user) != ERROR_SUCCESS) continue;
        wchar_t folder[MAX_PATH];
        DWORD folderBytes = sizeof folder;
        if (RegGetValueW(user, nullptr, L"LocalRootFolder", RRF_RT_ANY, nullptr, folder, &folderBytes) ==
                ERROR_SUCCESS &&
            FolderIsUsable(folder))
            ++usable;
        RegCloseKey(user);
    }
    RegCloseKey(list);
    return usable;
}

bool AutoMigrateProbe() {
    std::wstring folder;
    if (!ReadSetting(kRoamableRootFolder, folder) || folder.empty() || folder.size() >= 1000) return false;
    wchar_t marker[1024];
    std::wmemcpy(marker, folder.data(), folder.size());
    std::wmemcpy(marker + folder.size(), L"\\DAP", 5);
    const bool folderThere = GetFileAttributesW(folder.c_str()) != INVALID_FILE_ATTRIBUTES;
    const bool markerThere = GetFileAttributesW(marker) != INVALID_FILE_ATTRIBUTES;

    LSTATUS machineStatus = ERROR_SUCCESS;
    const DWORD machine = ReadSwitch(HKEY_LOCAL_MACHINE, Roots::productCultureSpecificRootName(), machineStatus);
    LSTATUS userStatus = ERROR_SUCCESS;
    const DWORD user = ReadSwitch(HKEY_CURRENT_USER, Roots::roamingRootName(), userStatus);
    return folderThere && markerThere && machineStatus == ERROR_SUCCESS && machine != 0 &&
           userStatus == ERROR_SUCCESS && user != 1;
}

}  // namespace udbench::floors

namespace udbench::peers {

unsigned int KnownFolder(const KNOWNFOLDERID& id) {
    PWSTR path = nullptr;
    unsigned int length = 0;
    if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path))) length = static_cast<unsigned int>(std::wcslen(path));
    CoTaskMemFree(path);
    return length;
}

LSTATUS SetUnexpandedString(HKEY key, const wchar_t* valueName, const wchar_t* text) {
    wchar_t unexpanded[1024];
    const bool referenced = PathUnExpandEnvStringsW(text, unexpanded, 1024) != FALSE;
    const wchar_t* data = referenced ? unexpanded : text;
    const auto bytes = static_cast<DWORD>((std::wcslen(data) + 1) * sizeof(wchar_t));
    return RegSetValueExW(key, valueName, 0, referenced ? REG_EXPAND_SZ : REG_SZ, reinterpret_cast<const BYTE*>(data),
                          bytes);
}

int LoadStringAsResourceImage(const wchar_t* library, unsigned int id, wchar_t* buffer, int capacity) {
    const HMODULE module =
        LoadLibraryExW(library, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (module == nullptr) return 0;
    const int length = LoadStringW(module, id, buffer, capacity);
    FreeLibrary(module);
    return length;
}

int LoadStringFromModule(const wchar_t* library, unsigned int id, wchar_t* buffer, int capacity) {
    const HMODULE module = LoadLibraryW(library);
    if (module == nullptr) return 0;
    const int length = LoadStringW(module, id, buffer, capacity);
    FreeLibrary(module);
    return length;
}

}  // namespace udbench::peers
