// The product's special folders: below the resource directory, beside the
// help file, or named by product settings. Nothing is cached; each call asks
// the platform layer again.
#include <array>
#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

#include "../context/CallerBuffer.h"
#include "../context/ProductSettings.h"
#include "../include/UserData.h"
#include "../platform/TvPal.h"
#include "FolderResolution.h"

namespace Pal = Veltrane::Trelvix::PAL;
using TvUdSpecialFolder::Folders;
using userdata::FolderPath;
using userdata::FolderRule;
namespace resolution = userdata::resolution;

namespace {

// The string form's answer: the path in a work buffer.
std::size_t ResolveFolder(Folders folder, FolderPath& path) {
    userdata::IgnoreOrigin nothing;
    return resolution::ResolveFolder(folder, path, nothing);
}

}  // namespace

unsigned int tvudGetProductXFoldPath(wchar_t* buffer, size_t size, Folders folder) {
    const FolderRule* rule = userdata::FindFolderRule(folder);
    if (buffer != nullptr && size != 0) {
        std::size_t length = 0;
        userdata::IgnoreOrigin nothing;
        return resolution::JoinBelowResourceDirectory(rule, buffer, size, length, nothing) ? 1 : 0;
    }
    // Without a buffer only the resource directory itself can be reported:
    // there is no size query for a sub-folder, and a failure is never a
    // write through a null pointer.
    userdata::IgnoreOrigin nothing;
    resolution::PartsBelowResourceDirectory parts;
    return resolution::PartsOf(rule, parts, nothing) && parts.elementLength() == 0 ? 1 : 0;
}

std::wstring tvudGetSpecialFolder(Folders folder) {
    FolderPath path;
    const std::size_t length = ResolveFolder(folder, path);
    return std::wstring(path.data(), length);
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
