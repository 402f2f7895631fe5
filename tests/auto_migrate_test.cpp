// Automatic settings migration with the real registry, files and processes:
// the stand-in migrator logs exactly how it was started.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>

#include <UserData.h>
#include <windows.h>

#include "support/ProductConfig.h"
#include "support/TestKey.h"

using testing_support::TestKey;
using Lines = std::vector<std::string>;

namespace {

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

// The command line the library is expected to start: the migrator beside
// UserData.dll, one space, the options.
std::string MigratorCommand(const std::string& options) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(GetModuleHandleW(L"UserData.dll"), self, MAX_PATH);
    const std::wstring path = self;
    return Narrow(path.substr(0, path.rfind(L'\\') + 1)) + "vtmigrator.exe " + options;
}

const std::string kFullOptions = "/a /product \"TRLV\" /language \"en-US\"";

void SetSwitch(const TestKey& key, DWORD value) {
    RegSetValueExW(key.handle(), L"AutoMigrate", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

const std::wstring kTempPrefix =
    (std::filesystem::temp_directory_path() / ("userdata-am-" + std::to_string(GetCurrentProcessId()))).wstring();

class AutoMigrate : public ::testing::Test {
protected:
    void SetUp() override {
        SetEnvironmentVariableW(L"VTMIGRATOR_LOG", log_.c_str());
        SetEnvironmentVariableW(L"VTMIGRATOR_EXIT_CODE", nullptr);
        SetEnvironmentVariableW(L"VTMIGRATOR_DELAY_MS", L"300");  // a waited run is logged before return
        Reset();
        Configure();
    }
    void TearDown() override { Reset(false); }

    // No marker, nothing logged; the roamable folder present when `roamable`.
    void Reset(bool roamable = true) const {
        DeleteFileW(log_.c_str());
        DeleteFileW(Marker().c_str());
        RemoveDirectoryW(Marker().c_str());
        RemoveDirectoryW(roamable_.c_str());
        if (roamable) CreateDirectoryW(roamable_.c_str(), nullptr);
    }

    void Configure(const char* product = "TRLV", const char* language = "en-US") {
        ASSERT_EQ(0u, testing_support::InitProduct(
                          {{"productCultureSpecificRootName", Narrow(machine_)}, {"roamingRootName", Narrow(user_)},
                           {"currentProduct", product}, {"currentLanguageName", language}, {"resDir", "C:\\P"},
                           {"productSettings", {{"", {{{"values", {{"RoamableRootFolder", Narrow(roamable_)}}}}}}}}}));
    }

    std::wstring Marker() const { return roamable_ + L"\\DAP"; }
    bool MarkerExists() const { return GetFileAttributesW(Marker().c_str()) != INVALID_FILE_ATTRIBUTES; }

    std::optional<DWORD> UserSwitch() const {
        DWORD value = 0, bytes = sizeof value;
        if (RegGetValueW(HKEY_CURRENT_USER, user_.c_str(), L"AutoMigrate", RRF_RT_REG_DWORD, nullptr, &value, &bytes))
            return std::nullopt;
        return value;
    }

    // The command lines the migrator logged so far, waiting up to `waitMs`
    // for the first.
    Lines Started(DWORD waitMs = 0) const {
        for (const DWORD start = GetTickCount();; Sleep(50)) {
            std::ifstream in(Narrow(log_));
            Lines lines;
            for (std::string line; std::getline(in, line);) lines.push_back(line.substr(0, line.find('\r')));
            if (!lines.empty() || GetTickCount() - start >= waitMs) return lines;
        }
    }

    const std::wstring machine_ = TestKey::UniquePath(), user_ = TestKey::UniquePath();
    const std::wstring roamable_ = kTempPrefix + L"-roaming", log_ = kTempPrefix + L"-migrator.log";
};

TEST_F(AutoMigrate, WaitedRun) {
    enum Dap { MadeNow, File, Folder, NoRoamableFolder };  // what the call finds in the roamable folder
    const std::string dap = kFullOptions + " /dap ";
    const struct { const char* name; Dap marker; std::optional<DWORD> before; std::string options; DWORD after;
                   const wchar_t* exitCode = L"0"; const char* product = "TRLV"; const char* language = "en-US"; }
        cases[] = {
            {"first call for a new user", MadeNow, std::nullopt, dap, 1},
            {"exit status 3 switches the user off", MadeNow, std::nullopt, dap, 0, L"3"},
            {"pending user, marker file from an earlier call", File, 1u, kFullOptions, 1},
            {"a folder named DAP counts as the marker", Folder, 1u, kFullOptions, 1},
            {"no roamable folder: no marker, no /dap", NoRoamableFolder, std::nullopt, kFullOptions, 1},
            {"no product", File, 1u, "/a /language \"en-US\"", 1, L"0", ""},
            {"no language", File, 1u, "/a /product \"TRLV\"", 1, L"0", "TRLV", ""},
            {"neither", File, 1u, "/a", 1, L"0", "", ""},
        };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Reset(c.marker != NoRoamableFolder);
        if (c.marker == File) std::ofstream(Narrow(Marker())).put('\0');
        if (c.marker == Folder) CreateDirectoryW(Marker().c_str(), nullptr);
        TestKey user(HKEY_CURRENT_USER, user_);
        if (c.before) SetSwitch(user, *c.before);
        SetEnvironmentVariableW(L"VTMIGRATOR_EXIT_CODE", c.exitCode);
        Configure(c.product, c.language);
        EXPECT_TRUE(ProcessAutoMigrate());
        EXPECT_EQ(c.marker != NoRoamableFolder, MarkerExists());
        EXPECT_EQ(Lines{MigratorCommand(c.options)}, Started());
        EXPECT_EQ(c.after, UserSwitch());
    }
}

TEST_F(AutoMigrate, SettledUserGetsOnlyTheMarkerStartNotWaitedFor) {
    for (const DWORD settled : {2u, 0u}) {
        SCOPED_TRACE(settled);
        Reset();
        SetEnvironmentVariableW(L"VTMIGRATOR_DELAY_MS", L"1500");
        TestKey user(HKEY_CURRENT_USER, user_);
        SetSwitch(user, settled);
        EXPECT_TRUE(ProcessAutoMigrate());
        EXPECT_TRUE(Started().empty()) << "the library waited for the marker start";
        EXPECT_EQ(Lines{MigratorCommand("/dap")}, Started(10000));
        EXPECT_EQ(settled, UserSwitch());
        // With the marker in place, later calls do nothing at all.
        DeleteFileW(log_.c_str());
        SetEnvironmentVariableW(L"VTMIGRATOR_DELAY_MS", nullptr);
        EXPECT_TRUE(ProcessAutoMigrate());
        EXPECT_TRUE(Started(1000).empty());
    }
}

TEST_F(AutoMigrate, MachineSwitchAndUserKey) {
    const struct { const char* name; HKEY machineHive; std::optional<DWORD> machine; bool userKey; bool starts; }
        cases[] = {
            {"no user key does nothing", nullptr, std::nullopt, false, false},
            {"machine key without the value stops", HKEY_LOCAL_MACHINE, std::nullopt, true, false},
            {"machine switch 0 stops", HKEY_LOCAL_MACHINE, 0u, true, false},
            {"machine switch on goes on", HKEY_LOCAL_MACHINE, 1u, true, true},
            {"any other number is on", HKEY_LOCAL_MACHINE, 7u, true, true},
            {"machine key found under the user hive acts as the switch", HKEY_CURRENT_USER, 0u, true, false},
        };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Reset();
        std::optional<TestKey> machine, user;
        if (c.machineHive) machine.emplace(c.machineHive, machine_);
        if (c.machine) SetSwitch(*machine, *c.machine);
        if (c.userKey) user.emplace(HKEY_CURRENT_USER, user_);
        EXPECT_TRUE(ProcessAutoMigrate());
        EXPECT_TRUE(MarkerExists()) << "the marker comes before any registry test";
        EXPECT_EQ(c.starts, !Started().empty());
        EXPECT_EQ(c.starts ? std::optional<DWORD>(1u) : std::nullopt, UserSwitch());
    }
}

// Wine reads this override at every load, so it disables the runtime for
// this process's later loads only.
TEST_F(AutoMigrate, WithoutTheDotNetRuntimeNothingStartsAndTheValueStaysOne) {
    constexpr wchar_t kOverrides[] = L"Software\\Wine\\DllOverrides";
    TestKey user(HKEY_CURRENT_USER, user_);
    RegSetKeyValueW(HKEY_CURRENT_USER, kOverrides, L"mscoree", REG_SZ, L"disabled", sizeof L"disabled");
    EXPECT_EQ(nullptr, LoadLibraryW(L"Mscoree.dll"));
    EXPECT_TRUE(ProcessAutoMigrate());
    EXPECT_TRUE(Started().empty());
    EXPECT_EQ(1u, UserSwitch()) << "left for a later call to try again";
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kOverrides, L"mscoree");
}

}  // namespace
