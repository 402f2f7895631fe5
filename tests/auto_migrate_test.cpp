// Automatic settings migration with the real registry, files and processes:
// the stand-in migrator logs exactly how it was started.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <optional>
#include <sstream>
#include <thread>

#include <UserData.h>
#include <windows.h>

#include "support/ProductConfig.h"
#include "support/TestKey.h"

using nlohmann::json;
using testing_support::TestKey;

namespace {

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

std::wstring TempDirectory(const wchar_t* leaf) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + L"userdata-am-" + std::to_wstring(GetCurrentProcessId()) + L"-" + leaf;
}

void RemoveTree(const std::wstring& path) {
    DeleteFileW((path + L"\\DAP").c_str());
    RemoveDirectoryW((path + L"\\DAP").c_str());
    RemoveDirectoryW(path.c_str());
}

// The command line the library is expected to start: the migrator beside
// UserData.dll, one space, the options.
std::string MigratorCommand(const std::string& options) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(GetModuleHandleW(L"UserData.dll"), self, MAX_PATH);
    std::wstring path = self;
    path = path.substr(0, path.rfind(L'\\') + 1) + L"vtmigrator.exe";
    return Narrow(path) + " " + options;
}

void SetDword(const TestKey& key, DWORD value) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&value);
    key.setRaw(L"AutoMigrate", REG_DWORD, std::vector<std::uint8_t>(bytes, bytes + 4));
}

std::optional<DWORD> ReadDword(HKEY root, const std::wstring& path) {
    DWORD value = 0, bytes = sizeof value;
    if (RegGetValueW(root, path.c_str(), L"AutoMigrate", RRF_RT_REG_DWORD, nullptr, &value, &bytes) != 0)
        return std::nullopt;
    return value;
}

class AutoMigrate : public ::testing::Test {
protected:
    void SetUp() override {
        roamable_ = TempDirectory(L"roaming");
        log_ = TempDirectory(L"migrator.log");
        CreateDirectoryW(roamable_.c_str(), nullptr);
        DeleteFileW(log_.c_str());
        SetEnvironmentVariableW(L"VTMIGRATOR_LOG", log_.c_str());
        SetEnvironmentVariableW(L"VTMIGRATOR_EXIT_CODE", nullptr);
        SetEnvironmentVariableW(L"VTMIGRATOR_DELAY_MS", L"300");  // a waited run is logged before return
        Configure(machine_, user_);
    }
    void TearDown() override {
        RemoveTree(roamable_);
        DeleteFileW(log_.c_str());
    }

    void Configure(const std::wstring& machineRoot, const std::wstring& userRoot, const char* product = "TRLV",
                   const char* language = "en-US") {
        json config = {{"productCultureSpecificRootName", Narrow(machineRoot)},
                       {"roamingRootName", Narrow(userRoot)},
                       {"currentProduct", product},
                       {"currentLanguageName", language},
                       {"resDir", "C:\\P"},
                       {"productSettings", {{"", {{{"values", {{"RoamableRootFolder", Narrow(roamable_)}}}}}}}}};
        ASSERT_EQ(0u, testing_support::InitProduct(config));
    }

    bool MarkerExists() const { return GetFileAttributesW((roamable_ + L"\\DAP").c_str()) != INVALID_FILE_ATTRIBUTES; }
    void CreateMarker() const {
        std::ofstream(Narrow(roamable_ + L"\\DAP")).put('\0');
    }

    // Lines the migrator logged so far.
    std::vector<std::string> Started() const {
        std::ifstream in(Narrow(log_));
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            lines.push_back(line);
        }
        return lines;
    }
    std::vector<std::string> StartedWithin(std::chrono::milliseconds limit) const {
        const auto until = std::chrono::steady_clock::now() + limit;
        while (Started().empty() && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        return Started();
    }

    std::wstring machine_ = TestKey::UniquePath();
    std::wstring user_ = TestKey::UniquePath();
    std::wstring roamable_;
    std::wstring log_;
};

const std::string kFullOptions = "/a /product \"TRLV\" /language \"en-US\"";

TEST_F(AutoMigrate, FirstCallForANewUserMigratesWithTheMarker) {
    TestKey user(HKEY_CURRENT_USER, user_);
    EXPECT_TRUE(ProcessAutoMigrate());
    EXPECT_TRUE(MarkerExists());
    EXPECT_EQ(std::vector<std::string>{MigratorCommand(kFullOptions + " /dap ")}, Started());
    EXPECT_EQ(1u, ReadDword(HKEY_CURRENT_USER, user_));
}

TEST_F(AutoMigrate, FailedMigrationSwitchesTheUserOff) {
    TestKey user(HKEY_CURRENT_USER, user_);
    SetEnvironmentVariableW(L"VTMIGRATOR_EXIT_CODE", L"3");
    EXPECT_TRUE(ProcessAutoMigrate());
    EXPECT_EQ(1u, Started().size());
    EXPECT_EQ(0u, ReadDword(HKEY_CURRENT_USER, user_));
}

TEST_F(AutoMigrate, PendingUserWithMarkerPresentRunsWithoutDap) {
    TestKey user(HKEY_CURRENT_USER, user_);
    SetDword(user, 1);
    CreateMarker();
    EXPECT_TRUE(ProcessAutoMigrate());
    EXPECT_EQ(std::vector<std::string>{MigratorCommand(kFullOptions)}, Started());
    EXPECT_EQ(1u, ReadDword(HKEY_CURRENT_USER, user_));
}

TEST_F(AutoMigrate, SettledUserGetsOnlyTheMarkerStartNotWaitedFor) {
    for (DWORD settled : {2u, 0u}) {
        SCOPED_TRACE(settled);
        TestKey user(HKEY_CURRENT_USER, user_);
        SetDword(user, settled);
        SetEnvironmentVariableW(L"VTMIGRATOR_DELAY_MS", L"1500");
        EXPECT_TRUE(ProcessAutoMigrate());
        EXPECT_TRUE(Started().empty()) << "the library waited for the marker start";
        EXPECT_EQ(std::vector<std::string>{MigratorCommand("/dap")}, StartedWithin(std::chrono::seconds(10)));
        EXPECT_EQ(settled, ReadDword(HKEY_CURRENT_USER, user_));

        // With the marker in place, later calls do nothing at all.
        DeleteFileW(log_.c_str());
        EXPECT_TRUE(ProcessAutoMigrate());
        Sleep(300);
        EXPECT_TRUE(Started().empty());
        RemoveTree(roamable_);
        CreateDirectoryW(roamable_.c_str(), nullptr);
        DeleteFileW(log_.c_str());
    }
}

struct SwitchCase {
    const char* name;
    std::optional<DWORD> machineValue;  // nullopt: the machine key has no value
    bool expectStart;
};

TEST_F(AutoMigrate, MachineSwitch) {
    const SwitchCase cases[] = {
        {"machine key without the value stops", std::nullopt, false},
        {"machine switch 0 stops", 0u, false},
        {"machine switch on goes on", 1u, true},
        {"any other number is on", 7u, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TestKey machine(HKEY_LOCAL_MACHINE, machine_);
        TestKey user(HKEY_CURRENT_USER, user_);
        if (c.machineValue) SetDword(machine, *c.machineValue);
        EXPECT_TRUE(ProcessAutoMigrate());
        EXPECT_EQ(c.expectStart, !Started().empty());
        EXPECT_EQ(c.expectStart ? std::optional<DWORD>(1u) : std::nullopt, ReadDword(HKEY_CURRENT_USER, user_));
        EXPECT_TRUE(MarkerExists()) << "the marker comes before any registry test";
        RemoveTree(roamable_);
        CreateDirectoryW(roamable_.c_str(), nullptr);
        DeleteFileW(log_.c_str());
    }
}

TEST_F(AutoMigrate, MachineKeyFoundUnderTheUserHiveActsAsTheSwitch) {
    TestKey machineInUserHive(HKEY_CURRENT_USER, machine_);
    TestKey user(HKEY_CURRENT_USER, user_);
    SetDword(machineInUserHive, 0);
    EXPECT_TRUE(ProcessAutoMigrate());
    EXPECT_TRUE(Started().empty());
    EXPECT_EQ(std::nullopt, ReadDword(HKEY_CURRENT_USER, user_));
}

TEST_F(AutoMigrate, SameRootPathWithoutUserValueStopsAtTheMachineSwitch) {
    Configure(user_, user_);
    TestKey user(HKEY_CURRENT_USER, user_);
    EXPECT_TRUE(ProcessAutoMigrate());
    EXPECT_TRUE(Started().empty());
    EXPECT_EQ(std::nullopt, ReadDword(HKEY_CURRENT_USER, user_));
}

TEST_F(AutoMigrate, NoUserKeyDoesNothing) {
    EXPECT_TRUE(ProcessAutoMigrate());
    EXPECT_TRUE(Started().empty());
    EXPECT_EQ(std::nullopt, ReadDword(HKEY_CURRENT_USER, user_));
}

TEST_F(AutoMigrate, MissingProductOrLanguageLeavesOutTheWholeOption) {
    struct { const char* product; const char* language; std::string options; } cases[] = {
        {"", "en-US", "/a /language \"en-US\""},
        {"TRLV", "", "/a /product \"TRLV\""},
        {"", "", "/a"},
    };
    for (const auto& c : cases) {
        TestKey user(HKEY_CURRENT_USER, user_);
        SetDword(user, 1);
        CreateMarker();
        Configure(machine_, user_, c.product, c.language);
        EXPECT_TRUE(ProcessAutoMigrate());
        EXPECT_EQ(std::vector<std::string>{MigratorCommand(c.options)}, Started());
        DeleteFileW(log_.c_str());
    }
}

TEST_F(AutoMigrate, MarkerRules) {
    // A folder named DAP counts as the marker.
    CreateDirectoryW((roamable_ + L"\\DAP").c_str(), nullptr);
    {
        TestKey user(HKEY_CURRENT_USER, user_);
        EXPECT_TRUE(ProcessAutoMigrate());
        EXPECT_EQ(std::vector<std::string>{MigratorCommand(kFullOptions)}, Started());
    }
    RemoveTree(roamable_);
    DeleteFileW(log_.c_str());
    // No roamable folder: no marker, and no /dap anywhere.
    TestKey user(HKEY_CURRENT_USER, user_);
    EXPECT_TRUE(ProcessAutoMigrate());
    EXPECT_FALSE(MarkerExists());
    EXPECT_EQ(std::vector<std::string>{MigratorCommand(kFullOptions)}, Started());
}

// Wine reads this override at every load, so it disables the runtime for
// this process's later loads only.
struct RuntimeDisabled {
    static constexpr wchar_t kOverrides[] = L"Software\\Wine\\DllOverrides";
    RuntimeDisabled() {
        RegSetKeyValueW(HKEY_CURRENT_USER, kOverrides, L"mscoree", REG_SZ, L"disabled", sizeof L"disabled");
    }
    ~RuntimeDisabled() { RegDeleteKeyValueW(HKEY_CURRENT_USER, kOverrides, L"mscoree"); }
};

TEST_F(AutoMigrate, WithoutTheDotNetRuntimeNothingStartsAndTheValueStaysOne) {
    TestKey user(HKEY_CURRENT_USER, user_);
    RuntimeDisabled runtime;
    ASSERT_EQ(nullptr, LoadLibraryW(L"Mscoree.dll"));
    EXPECT_TRUE(ProcessAutoMigrate());
    EXPECT_TRUE(Started().empty());
    EXPECT_EQ(1u, ReadDword(HKEY_CURRENT_USER, user_));
    EXPECT_TRUE(ProcessAutoMigrate());  // tried again, still nothing written
    EXPECT_EQ(1u, ReadDword(HKEY_CURRENT_USER, user_));
}

}  // namespace
