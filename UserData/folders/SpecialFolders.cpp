// The product's special folders: below the resource directory, beside the
// help file, or named by product settings. Nothing is cached; each call asks
// the platform layer again.
#include <array>
#include <string>
#include <string_view>

#include "../context/CallerBuffer.h"
#include "../context/PathJoin.h"
#include "../context/ProductSettings.h"
#include "../include/UserData.h"
#include "FolderResolution.h"

using TvUdSpecialFolder::Folders;
using userdata::FolderPath;
namespace resolution = userdata::resolution;

unsigned int tvudGetProductXFoldPath(wchar_t* buffer, size_t size, Folders folder) {
    userdata::IgnoreOrigin nothing;
    resolution::PartsBelowResourceDirectory parts;
    const bool found = resolution::PartsOf(userdata::FindFolderRule(folder), parts, nothing);
    // Without a buffer only the resource directory itself can be reported:
    // there is no size query for a sub-folder, and a failure is never a
    // write through a null pointer.
    if (buffer == nullptr || size == 0) return found && parts.elementLength() == 0 ? 1 : 0;
    // The buffer holds the resource directory whenever there is one, also
    // when the folder below it cannot be had.
    const unsigned int directory = userdata::CopyToCallerBuffer({parts.directory}, buffer, size);
    if (directory == 0 || !found) return 0;
    if (parts.elementLength() == 0) return 1;
    // The path join takes the element whole: a sub-folder and its language
    // are put together first (they fit their 64 characters).
    std::wstring_view element = parts.subFolder.empty() ? parts.language : parts.subFolder;
    std::array<wchar_t, userdata::kSubFolderSize> work;
    if (!parts.joiner.empty())
        element = {work.data(), userdata::CopyToCallerBuffer({parts.subFolder, parts.joiner, parts.language},
                                                             work.data(), work.size()) - 1u};
    return userdata::AppendPathElement(buffer, directory - 1, element, size) != 0 ? 1 : 0;
}

std::wstring tvudGetSpecialFolder(Folders folder) {
    FolderPath path;
    userdata::IgnoreOrigin nothing;
    return std::wstring(path.data(), resolution::ResolveFolder(folder, path, nothing));
}

unsigned int tvudGetSpecialFolder(Folders folder, wchar_t* buffer, size_t size) {
    // Put together straight in the caller's buffer: no work buffer, no second copy.
    return resolution::CopyFolderToCallerBuffer(folder, buffer, size);
}

unsigned int tvudGetXRootFoldPath(const wchar_t* name, wchar_t* buffer, size_t size) {
    // No name, no setting: refused instead of read through a null pointer.
    if (name == nullptr) return 0;
    return userdata::CopyToCallerBuffer(userdata::GetProductSetting(L"", name, {}), buffer, size);
}

unsigned int GetTRLVUserDataCacheLangPath(wchar_t* cacheFolder, wchar_t* cacheFolderLang,
                                          unsigned long size) {
    // Only the language folder's result is reported.
    (void)tvudGetSpecialFolder(TvUdSpecialFolder::UserDataCacheFolder, cacheFolder, size);
    return tvudGetSpecialFolder(TvUdSpecialFolder::UserDataCacheFolderLang, cacheFolderLang, size);
}
