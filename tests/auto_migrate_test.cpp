// Automatic settings migration with the real registry, files and processes:
// the stand-in migrator logs exactly how it was started. And the stand-in
// itself reads the command line that UserData composes, its own path
// unquoted followed by the options, from wherever it is installed.
#include <filesystem>
#include <fstream>

#include "support/ChildProcess.h"
#include "support/TestSupport.h"

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

// The command lines the migrator logged to `log`, waiting up to `waitMs` for the first.
static Lines Started(const fs::path& log, DWORD waitMs) {
    for (const DWORD start = GetTickCount();; Sleep(50)) {
        std::ifstream in(log);
        Lines lines;
        for (std::string line; std::getline(in, line);) lines.push_back(line.substr(0, line.find('\r')));
        if (!lines.empty() || GetTickCount() - start >= waitMs) return lines;
    }
}

TEST_CASE("AutoMigrate.StartsTheMigratorAsTheSwitchesTheMarkerAndTheRuntimeSay") {
    enum Dap { MadeNow, File, Folder, NoRoamableFolder };  // what the call finds in the roamable folder
    constexpr int kNoKey = -2, kNoValue = -1;              // a switch's key is missing, or holds no value
    const std::string all = "/a /product \"TRLV\" /language \"en-US\"", dap = all + " /dap ";
    // The options of the one start expected ("": none), whether the call waits
    // for it, and the user's switch afterwards.
    const struct { const char* name; Dap marker; int user, machine; std::string options; bool waited;
                   std::optional<DWORD> after; const wchar_t* exitCode = L"0"; const char* product = "TRLV";
                   const char* language = "en-US"; HKEY machineHive = HKEY_LOCAL_MACHINE; const wchar_t* runtime = nullptr; }
        cases[] = {
            {"first call for a new user", MadeNow, kNoValue, kNoKey, dap, true, 1},
            {"exit status 3 switches the user off", MadeNow, kNoValue, kNoKey, dap, true, 0, L"3"},
            {"pending user, marker file from an earlier call", File, 1, kNoKey, all, true, 1},
            {"a folder named DAP counts as the marker", Folder, 1, kNoKey, all, true, 1},
            {"no roamable folder: no marker, no /dap", NoRoamableFolder, kNoValue, kNoKey, all, true, 1},
            {"no product: the option is left out whole", File, 1, kNoKey, "/a /language \"en-US\"", true, 1, L"0", ""},
            {"settled user: the marker start only, not waited for", MadeNow, 2, kNoKey, "/dap", false, 2},
            {"settled user, marker from an earlier call: nothing", File, 2, kNoKey, "", false, 2},
            {"no user key: nothing", MadeNow, kNoKey, kNoKey, "", true, std::nullopt},
            {"machine key without the value stops", MadeNow, kNoValue, kNoValue, "", true, std::nullopt},
            {"machine switch 0 stops", MadeNow, kNoValue, 0, "", true, std::nullopt},
            {"machine switch on goes on", MadeNow, kNoValue, 1, dap, true, 1},
            {"any other number is on", MadeNow, kNoValue, 7, dap, true, 1},
            {"machine key found under the user hive acts as the switch", MadeNow, kNoValue, 0, "", true, std::nullopt,
             L"0", "TRLV", "en-US", HKEY_CURRENT_USER},
            // Left for a later call to try again. Wine reads the override of
            // `runtime` at every load: "disabled" takes the runtime away,
            // "native" leaves only a copy planted beside this program.
            {"without the .NET runtime nothing starts", MadeNow, kNoValue, kNoKey, "", true, 1, L"0", "TRLV", "en-US",
             HKEY_LOCAL_MACHINE, L"disabled"},
            {"a Mscoree.dll planted beside the host is not the runtime", MadeNow, kNoValue, kNoKey, "", true, 1, L"0",
             "TRLV", "en-US", HKEY_LOCAL_MACHINE, L"native"},
        };
    wchar_t self[MAX_PATH];
    const fs::path library(std::wstring(self, GetModuleFileNameW(GetModuleHandleW(L"UserData.dll"), self, MAX_PATH)));
    // Code that leaves a mark when it runs (tests/fixtures/strings_entry.c).
    const fs::path planted = library.parent_path() / L"Mscoree.dll", plant = library.parent_path() / L"test_strings.dll";
    const std::string migrator = WideToUtf8((library.parent_path() / L"vtmigrator.exe").wstring()) + " ";
    // A folder name outside ASCII, so that a path narrowed on the way is caught.
    const std::wstring temp = (fs::temp_directory_path() / std::to_wstring(GetCurrentProcessId())).wstring();
    const fs::path roamable = temp + L"-r\u00f6aming", log = temp + L"-migrator.log", marker = roamable / L"DAP";
    const std::wstring machinePath = TestKey::UniquePath(), userPath = TestKey::UniquePath();
    constexpr wchar_t kOverrides[] = L"Software\\Wine\\DllOverrides";
    SetEnvironmentVariableW(L"VTMIGRATOR_LOG", log.c_str());
    for (const auto& c : cases) {
        INFO(c.name);
        fs::remove(log), fs::remove_all(roamable);
        if (c.marker != NoRoamableFolder) fs::create_directory(roamable);
        if (c.marker == File) std::ofstream(marker).put('\0');
        if (c.marker == Folder) fs::create_directory(marker);
        std::optional<TestKey> machine, user;
        if (c.machine != kNoKey) machine.emplace(c.machineHive, machinePath);
        if (c.machine >= 0) machine->setRaw(L"AutoMigrate", REG_DWORD, {std::uint8_t(c.machine), 0, 0, 0});
        if (c.user != kNoKey) user.emplace(HKEY_CURRENT_USER, userPath);
        if (c.user >= 0) user->setRaw(L"AutoMigrate", REG_DWORD, {std::uint8_t(c.user), 0, 0, 0});
        const std::wstring runtime = c.runtime ? c.runtime : L"";
        const DWORD overrideBytes = DWORD(runtime.size() + 1) * sizeof(wchar_t);
        if (c.runtime) RegSetKeyValueW(HKEY_CURRENT_USER, kOverrides, L"mscoree", REG_SZ, c.runtime, overrideBytes);
        if (runtime == L"native") fs::copy_file(plant, planted, fs::copy_options::overwrite_existing);
        SetEnvironmentVariableW(L"USERDATA_TEST_LIBRARY_CODE_RAN", nullptr);
        SetEnvironmentVariableW(L"VTMIGRATOR_EXIT_CODE", c.exitCode);
        // A waited run is logged before the call returns, one not waited for well after.
        SetEnvironmentVariableW(L"VTMIGRATOR_DELAY_MS", c.options.empty() ? L"0" : c.waited ? L"300" : L"1500");
        const json settings = {{"", {{{"values", {{"RoamableRootFolder", WideToUtf8(roamable.wstring())}}}}}}};
        REQUIRE(0u == InitProduct({{"productCultureSpecificRootName", WideToUtf8(machinePath)},
                                   {"roamingRootName", WideToUtf8(userPath)}, {"currentProduct", c.product},
                                   {"currentLanguageName", c.language}, {"productSettings", settings}}));
        CHECK(ProcessAutoMigrate());
        if (c.runtime) RegDeleteKeyValueW(HKEY_CURRENT_USER, kOverrides, L"mscoree");
        fs::remove(planted);
        CHECK_MESSAGE(0u == GetEnvironmentVariableW(L"USERDATA_TEST_LIBRARY_CODE_RAN", nullptr, 0), "planted code ran");
        CHECK_MESSAGE((c.marker != NoRoamableFolder) == fs::exists(marker), "the marker comes before any switch");
        CHECK_MESSAGE((c.waited || c.options.empty() || Started(log, 0).empty()), "waited for the marker start");
        const Lines expected = c.options.empty() ? Lines{} : Lines{migrator + c.options};
        CHECK(expected == (Started(log, c.waited ? 0 : c.options.empty() ? 1000 : 10000)));
        DWORD value = 0, bytes = sizeof value;
        const bool read = !RegGetValueW(HKEY_CURRENT_USER, userPath.c_str(), L"AutoMigrate", RRF_RT_REG_DWORD, nullptr,
                                        &value, &bytes);
        CHECK(c.after == (read ? std::optional(value) : std::nullopt));
    }
    fs::remove(log), fs::remove_all(roamable);
}

TEST_CASE("Migrator.ReadsItsOptionsWhereverItIsInstalled") {
    const fs::path built = fs::path(_wpgmptr).parent_path() / L"vtmigrator.exe";
    for (const wchar_t* folder : {L"plain", L"Program Files\\Veltrane Trelvix", L"Dossier \u00e9t\u00e9 \u5c71"}) {
        const fs::path installed = fs::temp_directory_path() / L"vtmigrator-test" / folder / L"vtmigrator.exe";
        INFO(WideToUtf8(installed.wstring()));
        fs::create_directories(installed.parent_path());
        fs::copy_file(built, installed, fs::copy_options::overwrite_existing);
        // Started as UserData starts it: its path unquoted, then the options.
        ProgramRun run =
            RunProgram(installed, installed.wstring() + L" /a /product \"TRLV\" /language \"en-US\" /dap ");
        run.out.erase(std::remove(run.out.begin(), run.out.end(), '\r'), run.out.end());
        CHECK("vtmigrator: would migrate all settings of product TRLV, language en-US\n"
              "vtmigrator: first start of this user's roamable folder\nexit 0" ==
              run.out + "exit " + std::to_string(run.exitCode));
    }
    fs::remove_all(fs::temp_directory_path() / L"vtmigrator-test");
}
