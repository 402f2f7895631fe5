// SetWorkingDirectory on real folders: a resource directory R with its
// UserDataCache folder and a documents folder D, under a temp folder of the
// test's own.
#include <filesystem>
#include <system_error>

#include "support/TestSupport.h"

namespace fs = std::filesystem;

TEST_CASE("WorkingDirectory.LeavesOnlyTheUserDataCacheFolder") {
    const fs::path original = fs::current_path();
    const fs::path root = fs::temp_directory_path() / ("userdata-cwd-" + std::to_string(GetCurrentProcessId()));
    // An empty resource directory leaves "userdatacache" naming a folder
    // below the current one, never the current one itself.
    fs::create_directories(root / "R" / "UserDataCache" / "userdatacache");
    fs::create_directories(root / "D");
    // Paths below the test folder; an empty resource directory or documents
    // path is passed empty. The process moves to D or stays at start.
    const struct { const char* name; const char* start; const char* resDir; const char* documents; bool moves; }
        cases[] = {
            {"cache folder in other letter case", "r\\USERDATACACHE", "R", "D", true},
            {"resource directory through ..", "R\\UserDataCache", "R\\..\\R", "D", true},
            {"resource directory itself", "R", "R", "D", false},
            {"no cache folder below the resource directory", "R\\UserDataCache", "D", "D", false},
            {"empty resource directory", "R\\UserDataCache", "", "D", false},
            {"documents folder does not exist", "R\\UserDataCache", "R", "Missing", false},
        };
    const auto below = [&](const char* path) { return *path ? WideToUtf8((root / path).wstring()) : ""; };
    for (const auto& c : cases) {
        INFO(c.name);
        CHECK(0u == InitProduct({{"resDir", below(c.resDir)}, {"myDocumentsPath", below(c.documents)}}));
        fs::current_path(root / c.start);
        SetWorkingDirectory();
        CHECK_MESSAGE((fs::equivalent(fs::current_path(), root / (c.moves ? "D" : c.start))), fs::current_path());
    }
    fs::current_path(original);
    std::error_code ignored;
    fs::remove_all(root, ignored);
}
