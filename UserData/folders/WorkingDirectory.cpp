// Keeps the process from working inside the product's user-data-cache folder.
#include <string>

#include <boost/filesystem/operations.hpp>
#include <boost/filesystem/path.hpp>
#include <boost/system/error_code.hpp>

#include "../include/UserData.h"
#include "../platform/TvPal.h"

namespace fs = boost::filesystem;
namespace Pal = Veltrane::Trelvix::PAL;

namespace {

// True only when the current directory is, through whatever path or letter
// case, the "userdatacache" folder below the resource directory. Any
// file-system error, a missing folder included, counts as "not there".
bool IsInUserDataCacheFolder() {
    fs::path cacheFolder = Pal::PackageUtils::resDir();
    // An empty resource directory leaves the relative "userdatacache", a
    // folder below the current directory and so never the current one.
    cacheFolder /= L"userdatacache";
    boost::system::error_code error;
    const fs::path current = fs::current_path(error);
    if (error) return false;
    const bool same = fs::equivalent(cacheFolder, current, error);
    return !error && same;
}

}  // namespace

void SetWorkingDirectory() {
    if (!IsInUserDataCacheFolder()) return;
    const std::wstring documents = Pal::FileSystem::getMyDocumentsPath(true);
    if (documents.empty()) return;
    // A documents folder that cannot be entered leaves the directory where it
    // was; there is no one to report that to.
    boost::system::error_code ignored;
    fs::current_path(fs::path(documents), ignored);
}
