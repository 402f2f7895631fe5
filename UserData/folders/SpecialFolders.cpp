// The product's special folders: below the resource directory, beside the
// help file, or named by product settings. Nothing is cached; each call asks
// the platform layer again.
#include <array>
#include <cstddef>
#include <string>

#include "../context/CallerBuffer.h"
#include "../context/ProductSettings.h"
#include "../include/UserData.h"
#include "../platform/TvPal.h"
#include "FolderResolution.h"

namespace Pal = Veltrane::Trelvix::PAL;
using TvUdSpecialFolder::Folders;
using userdata::FolderPath;
using userdata::FolderRule;
using userdata::kSubFolderSize;
namespace resolution = userdata::resolution;

namespace {

// Both forms of tvudGetSpecialFolder answer from here, so the buffer form
// needs no string of its own and no second scan of the path.
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
    // Without a buffer only the resource directory itself can be reported.
    if (Pal::PackageUtils::resDir().native().empty()) return 0;
    std::size_t languageLength = 0;
    const wchar_t* language = resolution::UsableLanguage(languageLength);
    if (language == nullptr) return 0;
    std::array<wchar_t, kSubFolderSize> work;
    const wchar_t* element = nullptr;
    std::size_t elementLength = 0;
    if (!resolution::ElementBelowResourceDirectory(rule, language, languageLength, work, element, elementLength))
        return 0;
    // There is no size query for a sub-folder: without a buffer it is a
    // failure, never a write through a null pointer.
    return elementLength == 0 ? 1 : 0;
}

std::wstring tvudGetSpecialFolder(Folders folder) {
    FolderPath path;
    const std::size_t length = ResolveFolder(folder, path);
    return std::wstring(path.data(), length);
}

unsigned int tvudGetSpecialFolder(Folders folder, wchar_t* buffer, size_t size) {
    const FolderRule* rule = userdata::FindFolderRule(folder);
    userdata::IgnoreOrigin nothing;
    // Folders whose parts are at hand are put together straight in the
    // caller's buffer; a settings value is copied from the work buffer.
    if (rule != nullptr && rule->source == userdata::FolderSource::Product)
        return resolution::CopyBelowResourceDirectory(rule, buffer, size, nothing);
    if (rule != nullptr && rule->source == userdata::FolderSource::Help)
        return resolution::CopyHelpFolder(rule->withLanguage, buffer, size, nothing);
    FolderPath path;
    const std::size_t length = ResolveFolder(folder, path);
    return userdata::CopyToCallerBuffer(path.data(), length, buffer, size);
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
