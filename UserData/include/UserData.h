// UserData.dll: where the running Trelvix product keeps its data and what it
// is called.
//
// Call tvudInitProductParams once before the other exports. After that every
// export may be called at any time, in any order.
//
// Null strings. A null `const wchar_t*` argument is answered as an absent or
// empty value: 0 from a getter, ERROR_INVALID_PARAMETER from a status export;
// nothing is written and no exception reaches the caller. The one exception
// is the value name of tvudRegSetString, where null names the key's default
// value, as everywhere in the registry.
//
// Caller buffers. Getters that fill a caller buffer follow one convention
// unless their comment says otherwise. The capacity counts characters, NUL
// included:
//   - 0 when there is nothing to report (also for a size query);
//   - length + 1 for a size query (null buffer or capacity 0);
//   - 0 when the string and its NUL do not fit;
//   - length + 1 after a successful copy.
// A result of 0 never means "an empty string was copied".
//
// Out-parameters. An export that fails (a 0 result, or a non-zero status)
// leaves every buffer it was given untouched, and so does a size query. The
// exports that deviate say so in their comments: tvudLoadMUIString and
// GetContextFileName leave an empty string; GetHelpFileName and
// tvudGetProductXFoldPath may leave part of a path they were forming in the
// buffer; GetTRLVUserDataCacheLangPath fills its first buffer whatever
// becomes of the second.
//
// Threads. The library starts no threads and takes no locks.
//   - Any thread, at the same time as each other: every getter, the
//     name, help-file, folder and resource-string exports, tvudIsNimbraDoc
//     and CheckCOMServerRelativePaths. They keep no state of their own and
//     are as thread-safe as the platform layer's answers.
//   - One at a time, and not while any other export runs: tvudInitProductParams
//     (it replaces the product every other answer comes from),
//     tvudSetUserProductRegistryRootKey, InstallUserData,
//     tvudIsSecondaryInstall, tvudRegSetString (it reads what InstallUserData
//     records), ProcessAutoMigrate, and SetWorkingDirectory (the current
//     directory belongs to the whole process). They share plain process-wide
//     variables.
//
// Export names. The functions in the extern "C" block are exported under
// their bare names. All others carry the GNU C++ decoration of MinGW-w64 GCC
// (for example _Z15InstallUserDatav): a host built with the same toolchain
// links them by that name, and only such a host can use the std::wstring
// overload of tvudGetSpecialFolder, which needs the same C++ runtime.
//
// Hosts built in MSVC mode link UserData.lib, the import library in the
// Microsoft format. It answers every export but the std::wstring overload by
// the host's own decoration: the bare names as they are, and the MSVC name of
// each decorated export (?InstallUserData@@YAIXZ) as an alias of the GNU name
// the DLL exports. docs/exports.md lists the names. Such a host has no GNU
// C++ runtime: with USERDATA_NO_STD_STRING defined (here, for any compiler
// that defines _MSC_VER) this header does not need <string> and leaves out
// the std::wstring overload of tvudGetSpecialFolder.
#pragma once

#include <stddef.h>

#if defined(_MSC_VER) && !defined(USERDATA_NO_STD_STRING)
#define USERDATA_NO_STD_STRING
#endif
#ifndef USERDATA_NO_STD_STRING
#include <string>
#endif

#include <windows.h>

#ifdef USERDATA_BUILDING
#define USERDATA_API __declspec(dllexport)
#else
#define USERDATA_API __declspec(dllimport)
#endif

namespace TvUdSpecialFolder {
// The product's folders. Passed as a 32-bit integer; values outside 0..18
// resolve to nothing.
enum Folders : int {
    ProductFolder = 0,
    ProductFolderLang = 1,
    HelpFolder = 2,
    HelpFolderLang = 3,
    SampleFolder = 4,
    SampleFolderLang = 5,
    RoamableRootFolder = 6,
    RoamableRootFolderLang = 7,
    LocalRootFolder = 8,
    LocalRootFolderLang = 9,
    VeltraneSharedFolder = 10,
    VeltraneSharedFolderLang = 11,
    AllUsersFolder = 12,
    GraphicsCacheFolder = 13,
    UserDataCacheFolder = 14,
    UserDataCacheFolderLang = 15,
    SandboxCrashSaveFolder = 16,
    SupportFolder = 17,
    SupportFolderLang = 18,
};
constexpr int kFolderCount = 19;

// Each folder's name, indexed by its value, for hosts and tools that print
// or accept folder names.
inline constexpr const char* kFolderNames[kFolderCount] = {
    "ProductFolder",          "ProductFolderLang",      "HelpFolder",
    "HelpFolderLang",         "SampleFolder",           "SampleFolderLang",
    "RoamableRootFolder",     "RoamableRootFolderLang", "LocalRootFolder",
    "LocalRootFolderLang",    "VeltraneSharedFolder",   "VeltraneSharedFolderLang",
    "AllUsersFolder",         "GraphicsCacheFolder",    "UserDataCacheFolder",
    "UserDataCacheFolderLang", "SandboxCrashSaveFolder", "SupportFolder",
    "SupportFolderLang",
};
}  // namespace TvUdSpecialFolder

// ---------------------------------------------------------------------------
// Product context. Exported under their bare names.
extern "C" {

// Hands both strings to the platform layer. Returns 0 on success and 1 when
// the platform layer refuses (note the inverted sense). May be called again
// at any time; each call re-initialises the platform layer.
USERDATA_API unsigned int tvudInitProductParams(const wchar_t* first, const wchar_t* second);

// Records a user root key (a null one clears it, as an empty one does).
// Always returns 0. The recorded key changes no answer of this library;
// tvudGetUserProductRegistryRootKey keeps reporting the platform layer's
// roaming root.
USERDATA_API unsigned int tvudSetUserProductRegistryRootKey(const wchar_t* root);

// Registry key paths of the product, without a hive.
USERDATA_API unsigned int tvudGetUserProductRegistryRootKey(wchar_t* buffer, unsigned long size);
USERDATA_API unsigned int tvudGetMachineProductRegistryRootKey(wchar_t* buffer, unsigned long size);
USERDATA_API unsigned int tvudGetGlobalRegistryRootKey(wchar_t* buffer, unsigned long size);

USERDATA_API unsigned int GetCurrentProductIdentityIniPath(wchar_t* buffer, unsigned long size);
USERDATA_API unsigned int tvudGetVerticalEnvPath(wchar_t* buffer, unsigned long size);

// The platform layer's own language string, not a copy: do not free it. It
// stays readable after later initialisations. Also exported as
// tvudGetProductUALanguage.
USERDATA_API const wchar_t* tvudGetProductUILanguage();

// Fills both buffers (each of `size` characters) with UserDataCacheFolder and
// UserDataCacheFolderLang; returns the second fill's result, so the first
// buffer may hold its folder even when the result is 0.
USERDATA_API unsigned int GetTRLVUserDataCacheLangPath(wchar_t* cacheFolder, wchar_t* cacheFolderLang,
                                                      unsigned long size);
}

// ---------------------------------------------------------------------------
// Exported under their C++ decorated names.

USERDATA_API unsigned int tvudGetCurrentLanguage(wchar_t* buffer, unsigned long size);
USERDATA_API unsigned int tvudGetCurrentProduct(wchar_t* buffer, unsigned long size);
USERDATA_API const wchar_t* tvudGetProductUALanguage();

// A value of the "ProductSpecific" settings container.
USERDATA_API unsigned int GetProductSpecificFilePath(const wchar_t* name, wchar_t* buffer,
                                                     unsigned long size);

// Special folders. The string form returns an empty string when the folder
// cannot be resolved.
#ifndef USERDATA_NO_STD_STRING
USERDATA_API std::wstring tvudGetSpecialFolder(TvUdSpecialFolder::Folders folder);
#endif
USERDATA_API unsigned int tvudGetSpecialFolder(TvUdSpecialFolder::Folders folder, wchar_t* buffer,
                                               size_t size);
// A settings value of the product's root folders, by name.
USERDATA_API unsigned int tvudGetXRootFoldPath(const wchar_t* name, wchar_t* buffer, size_t size);
// Returns 1 on success and 0 on failure, not a length. For the folders with a
// sub-folder (1, 4, 5, 14, 15) a real buffer is required: there is no size
// query, and a sub-folder that does not fit leaves the resource directory or
// an empty string in the buffer.
USERDATA_API unsigned int tvudGetProductXFoldPath(wchar_t* buffer, size_t size,
                                                  TvUdSpecialFolder::Folders folder);

// Moves the current directory out of the product's user-data-cache folder
// into the documents folder; leaves it alone in every other case.
USERDATA_API void SetWorkingDirectory();

// Names. Results are lengths without the NUL; there is no size query.
USERDATA_API unsigned int GetProgramName(wchar_t* buffer, unsigned long size);
USERDATA_API unsigned int GetProductName(wchar_t* buffer, unsigned long size);
// Returns the value's size in bytes, terminator included; `size` is compared
// with that byte count.
USERDATA_API unsigned int GetVerticalProductName(wchar_t* buffer, unsigned long size);

// Help files. GetHelpFileName returns length + 1 for a path from the user's
// profile and the length for the product's default path; both are non-zero
// on success. A default path that does not fit may leave part of itself, or
// an empty string, in the buffer. GetContextFileName returns the length of
// what it wrote, and leaves an empty string when the result does not fit.
USERDATA_API unsigned int GetHelpFileName(wchar_t* buffer, unsigned long size);
USERDATA_API unsigned int GetContextFileName(wchar_t* buffer, unsigned long size);

// Resolves "@library,-id" to the library's string `id`; other text comes back
// unchanged. On failure the buffer holds an empty string. The library is
// mapped as resources only, deliberately: none of its code runs, not even its
// entry point, so a display text cannot run code in the host. The path is
// used as written, found by the loader's search when relative.
USERDATA_API unsigned int tvudLoadMUIString(const wchar_t* source, wchar_t* buffer, size_t size);

// Writes a text value, with the user's profile folder replaced by
// %USERPROFILE% once InstallUserData has recorded it. Returns a Win32 status.
USERDATA_API unsigned int tvudRegSetString(HKEY key, const wchar_t* valueName, const wchar_t* text);

// Has the Windows Installer repair each installed product's per-user data
// for the current user: the products listed in "<machine product root>\UserData"
// below HKEY_LOCAL_MACHINE, or below HKEY_CURRENT_USER when the machine has
// no such key. Blocks while the Installer runs; the Installer shows its own
// basic progress and error interface. Returns a Win32 status:
//   - 0, or the status of the last product listed (an Installer status such
//     as 1605 for a product that is not installed, or a registry status);
//     the earlier products' statuses are not reported;
//   - ERROR_FILE_NOT_FOUND (2): no UserData key in either hive, or the
//     product has no machine root: there is nothing to repair;
//   - ERROR_ACCESS_DENIED (5) or another registry status: the machine's
//     UserData key exists but does not open (the user hive is then not
//     tried);
//   - ERROR_FILENAME_EXCED_RANGE (206): the machine root is longer than 502
//     characters, too long to name its UserData key.
// In the last three cases no Installer runs. The first call that returns 0
// records the user's profile folder for tvudRegSetString; no other call does.
USERDATA_API unsigned int InstallUserData();
USERDATA_API bool tvudIsSecondaryInstall();
USERDATA_API bool tvudIsNimbraDoc();
USERDATA_API bool CheckCOMServerRelativePaths();

// Starts the settings migrator when the user's settings are due. Always true.
USERDATA_API bool ProcessAutoMigrate();
