// SetWorkingDirectory on real folders: a resource directory R with its
// UserDataCache folder and a documents folder D, under a temp folder of the
// test's own. The current directory is restored after every case.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <system_error>

#include <windows.h>

#include <UserData.h>

#include "support/ProductConfig.h"

namespace fs = std::filesystem;

namespace {

std::string Narrow(const fs::path& path) { return path.string(); }

class WorkingDirectory : public ::testing::Test {
protected:
    void SetUp() override {
        original_ = fs::current_path();
        root_ = fs::temp_directory_path() /
                (L"userdata-cwd-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                 std::to_wstring(++counter_));
        fs::create_directories(root_ / L"R" / L"UserDataCache");
        fs::create_directories(root_ / L"D");
    }
    void TearDown() override {
        fs::current_path(original_);
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }

    // Points the platform layer at `resDir` and `documents`, enters `start`,
    // calls the export and reports where the process ended up.
    fs::path RunFrom(const fs::path& start, const std::wstring& resDir, const std::wstring& documents) {
        EXPECT_EQ(0u, testing_support::InitProduct(
                          {{"resDir", Narrow(resDir)}, {"myDocumentsPath", Narrow(documents)}}));
        fs::current_path(start);
        SetWorkingDirectory();
        return fs::current_path();
    }

    fs::path root_;
    fs::path original_;
    static inline unsigned counter_ = 0;
};

struct Case {
    const char* name;
    std::wstring start;      // below the test folder
    std::wstring resDir;     // below the test folder, unless empty
    std::wstring documents;  // below the test folder, unless empty
    bool moves;              // to the documents folder; else stays at start
};

TEST_F(WorkingDirectory, LeavesOnlyTheUserDataCacheFolder) {
    const Case cases[] = {
        {"cache folder as named", L"R\\UserDataCache", L"R", L"D", true},
        {"cache folder in other letter case", L"r\\USERDATACACHE", L"R", L"D", true},
        {"resource directory with a trailing separator", L"R\\UserDataCache", L"R\\", L"D", true},
        {"resource directory through ..", L"R\\UserDataCache", L"R\\..\\R", L"D", true},
        {"resource directory itself", L"R", L"R", L"D", false},
        {"another folder", L"D", L"R", L"D", false},
        {"no cache folder below the resource directory", L"R\\UserDataCache", L"D", L"D", false},
        {"documents folder does not exist", L"R\\UserDataCache", L"R", L"Missing", false},
        {"documents path empty", L"R\\UserDataCache", L"R", L"", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path start = root_ / c.start;
        const std::wstring documents = c.documents.empty() ? L"" : (root_ / c.documents).wstring();
        const fs::path after = RunFrom(start, (root_ / c.resDir).wstring(), documents);
        EXPECT_TRUE(fs::equivalent(after, c.moves ? root_ / L"D" : start)) << Narrow(after);
    }
}

TEST_F(WorkingDirectory, EmptyResourceDirectoryNamesAFolderBelowTheCurrentOne) {
    // "userdatacache" then names R\UserDataCache\userdatacache, never R\UserDataCache.
    const fs::path start = root_ / L"R" / L"UserDataCache";
    fs::create_directories(start / L"userdatacache");
    const fs::path after = RunFrom(start, L"", (root_ / L"D").wstring());
    EXPECT_TRUE(fs::equivalent(after, start)) << Narrow(after);
}

}  // namespace
