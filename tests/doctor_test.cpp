// udinfo --doctor on set-ups broken one way at a time, each made from a
// healthy one: the fixture package installed and listed, the product's keys,
// folders, help files and COM server in place. udinfo runs as a program of
// its own, as a support engineer runs it, and its JSON is read back.
#include <filesystem>
#include <fstream>
#include <map>
#include <set>

#include <UserDataFixture.h>
#include <folders/FolderRules.h>
#include <install/PerUserInstall.h>

#include "support/ChildProcess.h"
#include "support/TestSupport.h"

namespace fs = std::filesystem;

static fs::path ProgramFolder() { return fs::path(userdata::BesideThisProgram(L"")).parent_path(); }

// `program` --config `config` --doctor --json: its exit status and output.
static std::pair<int, std::string> RunDoctor(const fs::path& program, const fs::path& config) {
    const std::wstring commandLine = L"\"" + program.wstring() + L"\" --config \"" + config.wstring() + L"\" --doctor --json";
    ProgramRun run = RunProgram(program, commandLine);
    return {int(run.exitCode), std::move(run.out)};
}

static std::optional<DWORD> UserSwitch(const std::wstring& key) {
    DWORD value = 0, size = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), L"AutoMigrate", RRF_RT_DWORD, nullptr, &value, &size)) return {};
    return value;
}

// Everything in order: keys of the test's own as the product's roots, a
// product folder with both help files, the user's folders, the switches on.
struct HealthySetUp {
    const fs::path base = fs::temp_directory_path() / ("doctor-" + std::to_string(GetCurrentProcessId()));
    const TestKey user{HKEY_CURRENT_USER}, machine{HKEY_LOCAL_MACHINE};
    const TestKey list{HKEY_LOCAL_MACHINE, machine.path() + L"\\UserData"};
    const RequiredServer server;
    const fs::path config = base / "product.json";

    HealthySetUp() {
        fs::remove_all(base), fs::create_directories(base / "Help");
        json values = {{"DefaultHelpFileName", "trelvix.chm"}};
        for (const auto& rule : userdata::kFolderRules) {
            if (!rule.perUser) continue;
            fs::create_directory(base / rule.name);
            values[WideToUtf8(rule.name)] = WideToUtf8((base / rule.name).wstring());
        }
        const json product = {{"roamingRootName", WideToUtf8(user.path())},
                              {"productCultureSpecificRootName", WideToUtf8(machine.path())},
                              {"currentProduct", "TRLV"}, {"currentLanguageName", "en-US"},
                              {"resDir", WideToUtf8(base.wstring())},
                              {"productSettings", {{"", {{{"values", values}}}}}}};
        std::ofstream(config) << product.dump();
        for (const TestKey* key : {&user, &machine}) key->setRaw(L"AutoMigrate", REG_DWORD, {1, 0, 0, 0});
        list.setString(kFixtureProductCode, kFixtureUserKey);
        std::ofstream(base / "Help" / "trelvix.chm");
        wchar_t contextFile[MAX_PATH];
        if (InitProduct(product) || !GetContextFileName(contextFile, MAX_PATH)) throw std::runtime_error("no product");
        std::ofstream(fs::path(contextFile));
    }
    ~HealthySetUp() { fs::remove_all(base); }
};

enum Breakage { None, UserRootDeleted, FolderMissing, FolderHeld, ServerAbsolute, RequiredServerMissing, UserSwitchOff,
                NoMigrator, OtherBuild, ListedFolderMissing, ListedFolderHeld };
constexpr wchar_t kListedProduct[] = L"{0D5E7A31-2B64-4C98-8F10-6A3B9E2C7D41}";

// A healthy set-up broken one way, with the udinfo to run: a copy without
// the migrator beside it, one beside a UserData.dll of another build
// (skewed/, made by the build), or the one built.
struct BrokenSetUp : HealthySetUp {
    explicit BrokenSetUp(Breakage breakage) {
        if (breakage == NoMigrator || breakage == OtherBuild) {
            const fs::path bin = base / "bin", built = ProgramFolder();
            fs::create_directory(bin);
            for (const char* file : {"udinfo.exe", "TvPal.dll"}) fs::copy_file(built / file, bin / file);
            const fs::path dll = (breakage == OtherBuild ? built.parent_path() / "skewed" : built) / "UserData.dll";
            fs::copy_file(dll, bin / "UserData.dll");
            if (breakage == OtherBuild) fs::copy_file(built / "vtmigrator.exe", bin / "vtmigrator.exe");
            program = bin / "udinfo.exe";
        }
        if (breakage == RequiredServerMissing) RegDeleteTreeW(HKEY_LOCAL_MACHINE, server.serverKey.path().c_str());
        if (breakage == UserRootDeleted) RegDeleteTreeW(HKEY_CURRENT_USER, user.path().c_str());
        if (breakage == FolderMissing) fs::remove(base / "SupportFolder");
        if (breakage == ServerAbsolute) server.set(L"C:\\Program Files\\Veltrane\\TrelvixCore.dll");
        if (breakage == UserSwitchOff) user.setRaw(L"AutoMigrate", REG_DWORD, {0, 0, 0, 0});
        if (breakage == ListedFolderMissing || breakage == ListedFolderHeld) {
            listedKey.setString(L"LocalRootFolder", listedFolder.wstring());
            list.setString(kListedProduct, listedKey.path());
        }
        if (breakage == ListedFolderHeld) fs::create_directory(listedFolder);
        if (breakage == FolderHeld) holder = HoldForReadingOnly(base / "GraphicsCacheFolder");
        if (breakage == ListedFolderHeld) holder = HoldForReadingOnly(listedFolder);
    }
    fs::path program = ProgramFolder() / "udinfo.exe";
    const fs::path listedFolder = base / "Listed";
    const TestKey listedKey{HKEY_CURRENT_USER};
    userdata::UniqueFile holder;
};

TEST_CASE("Doctor.FindsEachBrokenSetUpWithItsStatusAndFixAndChangesNothing") {
    const std::string listed = "per-user install: " + WideToUtf8(kListedProduct);
    const std::string required = "COM servers: {3F6B2D84-9E15-4C7A-8B02-D4A9C1E65F38}";
    // The check that must find the breakage, its status and part of its detail.
    const struct { const char* name; Breakage breakage; std::string check; const char *status, *detail; }
        cases[] = {
        {"healthy: the migration starts and waits", None, "migration: next ProcessAutoMigrate", "ok", "/dap  and waits"},
        {"healthy: the COM server by a relative path", None, required, "ok", "relative path: TrelvixCore.dll"},
        {"healthy: an optional COM class not registered", None, "COM servers: {5E3A9C41-7B20-4D8F-9A61-0C2F4B8E7D13}",
         "ok", "not registered (an optional feature"},
        {"healthy: the build of udinfo's own logic", None, "runtime: build", "ok", "the build of udinfo's own logic"},
        {"no user registry root", UserRootDeleted, "registry: user product root", "problem", "does not exist"},
        {"a per-user folder missing", FolderMissing, "folders: SupportFolder", "problem", "does not exist"},
        {"a per-user folder held for reading only", FolderHeld, "folders: GraphicsCacheFolder", "problem", "(error 32)"},
        {"the COM server by an absolute path", ServerAbsolute, required, "problem", "absolute path: C:"},
        {"the required COM class not registered", RequiredServerMissing, required, "problem", "not registered"},
        {"the user's AutoMigrate at 0", UserSwitchOff, "migration: user switch", "warning", "is 0"},
        {"no migrator beside UserData.dll", NoMigrator, "migration: migrator", "problem", "is missing"},
        {"a UserData.dll of another build", OtherBuild, "runtime: build", "problem",
         "build 0123456789abcdef, udinfo's logic is 1.0.0.0 build "},
        {"a listed product's folder missing", ListedFolderMissing, listed, "problem", "REINSTALLMODE=p "},
        {"a listed product the Installer does not know", ListedFolderMissing, listed + ": Installer", "problem",
         "does not know this product: InstallUserData would return 1605 for it"},
        {"a listed product's folder unusable: its key deleted first", ListedFolderHeld, listed, "problem",
         "and rewrite it (REINSTALL=UserData REINSTALLMODE=u "},
    };
    for (const auto& c : cases) {
        INFO(c.name);
        const BrokenSetUp setUp(c.breakage);
        const std::optional<DWORD> switchBefore = UserSwitch(setUp.user.path());
        const auto [status, out] = RunDoctor(setUp.program, setUp.config);
        const json doctor = json::parse(out, nullptr, false);
        REQUIRE_MESSAGE((doctor.is_object() && doctor["checks"].is_array()), out);
        CHECK(2 == doctor["schemaVersion"]);
        CHECK(doctor["checks"].size() >= 12u);
        bool problem = false, named = false;
        std::size_t unreliable = 0;
        for (const json& check : doctor["checks"]) {
            unreliable += check["reliable"] == false;
            CHECK_MESSAGE((check["status"] == "ok") == check["fix"].is_null(),
                          check.dump() << ": a fix exactly when needed");
            CHECK_MESSAGE((c.breakage != None || check["status"] != "problem"), check.dump());
            problem = problem || check["status"] == "problem";
            if (check["name"] != c.check) continue;
            named = true;
            CHECK_MESSAGE(c.status == check["status"], check.dump());
            CHECK_MESSAGE(check["detail"].get<std::string>().find(c.detail) != std::string::npos, check.dump());
        }
        CHECK_MESSAGE(named, c.check << " missing from " << out);
        // Of another build, all but the runtime's module checks explain what may not be so.
        CHECK_MESSAGE((c.breakage == OtherBuild ? doctor["checks"].size() - 4 : 0) == unreliable, out);
        CHECK_MESSAGE((problem ? 1u : 0u) == status, "exit status 1 exactly when a check found a problem");
        // Nothing written, deleted or started: no marker, no probe file left,
        // the switch and the listed product's key as they were.
        CHECK_FALSE(fs::exists(setUp.base / "RoamableRootFolder" / "DAP"));
        for (const auto& rule : userdata::kFolderRules)
            CHECK((!rule.perUser || !fs::exists(setUp.base / rule.name) || fs::is_empty(setUp.base / rule.name)));
        CHECK(switchBefore == UserSwitch(setUp.user.path()));
        userdata::UniqueHkey listedKey;
        CHECK(0 == RegOpenKeyExW(HKEY_CURRENT_USER, setUp.listedKey.path().c_str(), 0, KEY_READ, listedKey.put()));
    }
}

// --- The doctor's prediction against the pass that follows it ------------

// One listed product of a prediction row: its per-user key and local root
// folder as the pass finds them.
enum class Key { Present, Missing, Kpm };
enum class Folder { Usable, Missing, Held, Overlong };
struct Listed { const wchar_t* code; Key key; Folder folder; };

constexpr wchar_t kUnknownBefore[] = L"{0D5E7A31-2B64-4C98-8F10-6A3B9E2C7D41}";
constexpr wchar_t kUnknown[][39] = {
    L"{E41B9C07-6D23-4A5F-B8E2-1C7F3A9D0B56}", L"{E52C0D18-7E34-4B60-C9F3-2D8A4B0E1C67}",
    L"{E63D1E29-8F45-4C71-DA04-3E9B5C1F2D78}", L"{E74E2F3A-9056-4D82-EB15-4FAC6D203E89}"};
// Wine lists a key's values sorted by name: kUnknownBefore, the fixture, then kUnknown.
static_assert(kUnknownBefore[1] < kFixtureProductCode[1] && kFixtureProductCode[1] < kUnknown[0][1]);

// Writes the per-user key at `userKey` (below HKEY_CURRENT_USER) naming `folder`.
static void SetLocalRootFolder(const std::wstring& userKey, const fs::path& folder) {
    RegSetKeyValueW(HKEY_CURRENT_USER, userKey.c_str(), L"LocalRootFolder", REG_SZ, folder.c_str(),
                    DWORD(folder.native().size() + 1) * sizeof(wchar_t));
}

// The stand-in Installer of one row, which applies what each run stands for:
// "uos" and "u" lay the per-user key down with its folder, "m" rewrites the
// COM registration, "p" restores the folder. A product the Installer does not
// know (all but the fixture's) fails as the real one does, changing nothing.
struct StandInInstaller {
    std::map<std::wstring, std::pair<std::wstring, fs::path>> products;  // code: per-user key, folder
    const RequiredServer* server = nullptr;
    // What the real pass did: each product's runs, and the per-user keys that
    // were gone when their rewrite ran (the pass deletes one just before).
    std::map<std::wstring, json> runs;
    std::set<std::wstring> deletedUserKeys;
} standIn;

static UINT WINAPI StandInRun(LPCWSTR code, int, INSTALLSTATE, LPCWSTR properties) {
    standIn.runs[code].push_back(WideToUtf8(properties));
    const auto& [userKey, folder] = standIn.products.at(code);
    const auto mode = [&](const wchar_t* letters) {
        return std::wstring(properties).find(L"REINSTALLMODE=" + std::wstring(letters) + L" ") != std::wstring::npos;
    };
    // A "u" run comes only for a key that names its folder: unread, the key is gone.
    if (mode(L"u") && RegGetValueW(HKEY_CURRENT_USER, userKey.c_str(), L"LocalRootFolder", RRF_RT_ANY, nullptr,
                                   nullptr, nullptr) == ERROR_FILE_NOT_FOUND)
        standIn.deletedUserKeys.insert(code);
    if (code != std::wstring(kFixtureProductCode)) return ERROR_UNKNOWN_PRODUCT;
    if (mode(L"m")) standIn.server->set(L"TrelvixCore.dll");
    if (mode(L"p") || mode(L"uos") || mode(L"u")) fs::create_directory(folder);
    if (mode(L"uos") || mode(L"u")) SetLocalRootFolder(userKey, folder);
    return ERROR_SUCCESS;
}

TEST_CASE("Doctor.PredictsTheRunsThatInstallUserDataThenMakes") {
    const Listed fixtureUsable{kFixtureProductCode, Key::Present, Folder::Usable};
    const auto fixture = [](Key key, Folder folder) { return std::vector<Listed>{{kFixtureProductCode, key, folder}}; };
    const auto unknownUsable = [](int i) { return Listed{kUnknown[i], Key::Present, Folder::Usable}; };
    const struct { const char* name; bool absolute; std::vector<Listed> listed; } cases[] = {
        {"a healthy product: nothing", false, {fixtureUsable}},
        {"a missing per-user key: laid down, nothing after", false, fixture(Key::Missing, Folder::Usable)},
        {"a missing folder: restored, and then usable", false, fixture(Key::Present, Folder::Missing)},
        {"an unusable folder: its key deleted and rewritten", false, fixture(Key::Present, Folder::Held)},
        {"a folder too long for its buffer: nothing to check", false, fixture(Key::Present, Folder::Overlong)},
        {"a KPM key: no folder checks", false, fixture(Key::Kpm, Folder::Missing)},
        {"two products, absolute COM paths: one rewrite", true, {fixtureUsable, unknownUsable(0)}},
        {"five products, absolute COM paths: one rewrite", true,
         {fixtureUsable, unknownUsable(0), unknownUsable(1), unknownUsable(2), unknownUsable(3)}},
        {"a missing key, absolute COM paths: laid down, then rewritten", true, fixture(Key::Missing, Folder::Usable)},
        {"an unknown product's rewrite fixes nothing: the next one rewrites too", true,
         {{kUnknownBefore, Key::Present, Folder::Usable}, fixtureUsable}},
        {"an unknown product without its key: the lay-down fails", false,
         {{kUnknown[0], Key::Missing, Folder::Usable}}},
        {"an unknown product's folder missing: every run fails", false, {{kUnknown[0], Key::Present, Folder::Missing}}},
    };
    for (const auto& c : cases) {
        INFO(c.name);
        const fs::path base = fs::temp_directory_path() / ("prediction-" + std::to_string(GetCurrentProcessId()));
        fs::remove_all(base), fs::create_directories(base);
        const TestKey machine(HKEY_LOCAL_MACHINE), list(HKEY_LOCAL_MACHINE, machine.path() + L"\\UserData");
        const TestKey users(HKEY_CURRENT_USER);
        const RequiredServer server;
        if (c.absolute) server.set(L"C:\\Program Files\\Veltrane\\TrelvixCore.dll");
        standIn = {{}, &server, {}, {}};
        std::vector<userdata::UniqueFile> holders;
        for (std::size_t i = 0; i < c.listed.size(); ++i) {
            const Listed& product = c.listed[i];
            const std::wstring userKey =
                users.path() + L"\\p" + std::to_wstring(i) + (product.key == Key::Kpm ? L"\\TRLV-KPM-1" : L"\\TRLV-1");
            const fs::path folder = product.folder == Folder::Overlong ? fs::path(L"C:\\" + std::wstring(300, L'f'))
                                                                        : base / ("f" + std::to_string(i));
            standIn.products[product.code] = {userKey, folder};
            list.setString(product.code, userKey);
            if (product.key != Key::Missing) SetLocalRootFolder(userKey, folder);
            if (product.folder == Folder::Usable || product.folder == Folder::Held) fs::create_directory(folder);
            if (product.folder == Folder::Held) holders.push_back(HoldForReadingOnly(folder));
        }
        std::ofstream(base / "product.json") << json{{"productCultureSpecificRootName", WideToUtf8(machine.path())}};
        const std::string out = RunDoctor(ProgramFolder() / "udinfo.exe", base / "product.json").second;
        const json predicted = json::parse(out, nullptr, false)["installUserData"];
        REQUIRE_MESSAGE(predicted["products"].size() == c.listed.size(), out);

        const userdata::InstallerFunctions installer{[](INSTALLUILEVEL, HWND*) { return INSTALLUILEVEL_NONE; },
                                                     StandInRun};
        const unsigned int status = userdata::InstallUserDataUnder(machine.path().c_str(), &installer);
        CHECK(predicted["returns"] == status);
        for (const json& product : predicted["products"]) {
            const std::wstring code = userdata::Utf8ToWide(product["productCode"].get<std::string>());
            INFO(product.dump());
            CHECK((standIn.runs.count(code) ? standIn.runs[code] : json::array()) == product["runs"]);
            CHECK((standIn.deletedUserKeys.count(code) == 1) == product["deletesUserKey"]);
        }
        holders.clear();
        fs::remove_all(base);
    }
}
