// udinfo --doctor on set-ups broken one way at a time, each made from a
// healthy one: the fixture package installed and listed, the product's keys,
// folders, help files and COM server in place. udinfo runs as a program of
// its own, as a support engineer runs it, and its JSON is read back.
#include <filesystem>
#include <fstream>

#include <UserDataFixture.h>
#include <folders/FolderRules.h>

#include "support/TestSupport.h"

namespace fs = std::filesystem;

static fs::path ProgramFolder() { return fs::path(userdata::BesideThisProgram(L"")).parent_path(); }

// `program` --config `config` --doctor --json: its exit status and output.
static std::pair<DWORD, std::string> RunDoctor(const fs::path& program, const fs::path& config) {
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    HANDLE read = nullptr, write = nullptr;
    if (!CreatePipe(&read, &write, &inherited, 0)) throw std::runtime_error("no pipe");
    userdata::UniqueHandle reader(read), writer(write);
    SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup, startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = write, startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    std::wstring command = L"\"" + program.wstring() + L"\" --config \"" + config.wstring() + L"\" --doctor --json";
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &started))
        throw std::runtime_error("udinfo does not start");
    const userdata::UniqueHandle process(started.hProcess), thread(started.hThread);
    writer.reset();
    std::string out;
    char chunk[4096];
    for (DWORD got = 0; ReadFile(read, chunk, sizeof chunk, &got, nullptr) && got > 0;) out.append(chunk, got);
    DWORD status = 0;
    WaitForSingleObject(process.get(), INFINITE), GetExitCodeProcess(process.get(), &status);
    return {status, out};
}

static std::optional<DWORD> UserSwitch(const std::wstring& key) {
    DWORD value = 0, bytes = sizeof value;
    const LSTATUS read =
        RegGetValueW(HKEY_CURRENT_USER, key.c_str(), L"AutoMigrate", RRF_RT_REG_DWORD, nullptr, &value, &bytes);
    return read == ERROR_SUCCESS ? std::optional(value) : std::nullopt;
}

// Everything in order: keys of the test's own as the product's roots, a
// product folder with both help files, the user's folders, the switches on.
struct HealthySetUp {
    const fs::path base = fs::temp_directory_path() / ("doctor-" + std::to_string(GetCurrentProcessId()));
    const TestKey user{HKEY_CURRENT_USER}, machine{HKEY_LOCAL_MACHINE};
    const TestKey list{HKEY_LOCAL_MACHINE, machine.path() + L"\\UserData"};
    const TestKey serverClass{HKEY_LOCAL_MACHINE, L"Software\\Classes\\CLSID\\{3F6B2D84-9E15-4C7A-8B02-D4A9C1E65F38}"};
    const TestKey server{HKEY_LOCAL_MACHINE, serverClass.path() + L"\\InProcServer32"};
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
        server.setString(nullptr, L"TrelvixCore.dll");
        std::ofstream(base / "Help" / "trelvix.chm");
        wchar_t contextFile[MAX_PATH];
        if (InitProduct(product) || !GetContextFileName(contextFile, MAX_PATH)) throw std::runtime_error("no product");
        std::ofstream(fs::path(contextFile));
    }
    ~HealthySetUp() { fs::remove_all(base); }
};

enum Breakage { None, UserRootDeleted, FolderMissing, FolderHeld, ServerAbsolute, UserSwitchOff, NoMigrator,
                ListedFolderMissing, ListedFolderHeld };
constexpr wchar_t kListedProduct[] = L"{0D5E7A31-2B64-4C98-8F10-6A3B9E2C7D41}";

// A healthy set-up broken one way, with the udinfo to run: a copy without
// the migrator beside it, or the one built.
struct BrokenSetUp : HealthySetUp {
    explicit BrokenSetUp(Breakage breakage) {
        if (breakage == NoMigrator) {
            fs::create_directory(base / "bin");
            for (const char* file : {"udinfo.exe", "UserData.dll", "TvPal.dll"})
                fs::copy_file(ProgramFolder() / file, base / "bin" / file);
            program = base / "bin" / "udinfo.exe";
        }
        if (breakage == UserRootDeleted) RegDeleteTreeW(HKEY_CURRENT_USER, user.path().c_str());
        if (breakage == FolderMissing) fs::remove(base / "SupportFolder");
        if (breakage == ServerAbsolute) server.setString(nullptr, L"C:\\Program Files\\Veltrane\\TrelvixCore.dll");
        if (breakage == UserSwitchOff) user.setRaw(L"AutoMigrate", REG_DWORD, {0, 0, 0, 0});
        if (breakage == ListedFolderMissing || breakage == ListedFolderHeld) {
            listedKey.setString(L"LocalRootFolder", listedFolder.wstring());
            list.setString(kListedProduct, listedKey.path());
        }
        if (breakage == ListedFolderHeld) fs::create_directory(listedFolder);
        // Others may read but not write, so a read-write open fails with a sharing violation.
        const fs::path held = breakage == FolderHeld ? base / "GraphicsCacheFolder" : listedFolder;
        if (breakage == FolderHeld || breakage == ListedFolderHeld) {
            holder.reset(CreateFileW(held.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                     FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        }
    }
    fs::path program = ProgramFolder() / "udinfo.exe";
    const fs::path listedFolder = base / "Listed";
    const TestKey listedKey{HKEY_CURRENT_USER};
    userdata::UniqueFile holder;
};

TEST_CASE("Doctor.FindsEachBrokenSetUpWithItsStatusAndFixAndChangesNothing") {
    const std::string listed = "per-user install: " + WideToUtf8(kListedProduct);
    // The check that must find the breakage, its status and part of its detail.
    const struct { const char* name; Breakage breakage; std::string check; const char *status, *detail; }
        cases[] = {
        {"healthy: the migration starts and waits", None, "migration: next ProcessAutoMigrate", "ok", "/dap  and waits"},
        {"healthy: the COM server by a relative path", None, "COM servers: {3F6B2D84-9E15-4C7A-8B02-D4A9C1E65F38}", "ok",
         "relative path: TrelvixCore.dll"},
        {"no user registry root", UserRootDeleted, "registry: user product root", "problem", "does not exist"},
        {"a per-user folder missing", FolderMissing, "folders: SupportFolder", "problem", "does not exist"},
        {"a per-user folder held for reading only", FolderHeld, "folders: GraphicsCacheFolder", "problem", "(error 32)"},
        {"the COM server by an absolute path", ServerAbsolute, "COM servers: {3F6B2D84-9E15-4C7A-8B02-D4A9C1E65F38}",
         "problem", "absolute path: C:"},
        {"the user's AutoMigrate at 0", UserSwitchOff, "migration: user switch", "warning", "is 0"},
        {"no migrator beside UserData.dll", NoMigrator, "migration: migrator", "problem", "is missing"},
        {"a listed product's folder missing", ListedFolderMissing, listed, "problem", "REINSTALLMODE=p "},
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
        for (const json& check : doctor["checks"]) {
            CHECK_MESSAGE((check["status"] == "ok") == check["fix"].is_null(), check.dump() << ": a fix exactly when needed");
            CHECK_MESSAGE((c.breakage != None || check["status"] != "problem"), check.dump());
            problem = problem || check["status"] == "problem";
            if (check["name"] != c.check) continue;
            named = true;
            CHECK_MESSAGE(c.status == check["status"], check.dump());
            CHECK_MESSAGE(check["detail"].get<std::string>().find(c.detail) != std::string::npos, check.dump());
        }
        CHECK_MESSAGE(named, c.check << " missing from " << out);
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
