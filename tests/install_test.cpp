// The per-user data installation against the real Windows Installer: the
// fixture package that msi.install laid down, and well-formed product codes
// that no package uses (the Installer answers ERROR_UNKNOWN_PRODUCT for
// them). Wine's Installer restores every feature whatever REINSTALL and
// REINSTALLMODE say, so the property strings are checked as passed, through
// the link-time seam below, and not by their effects. What the Installer
// is given to show while it runs is watched by a stand-in Installer.
//
// The FreshProcess suite runs in a process of its own (ctest's
// test_install.fresh_process): it watches process-wide state from its start.
#include <sstream>

#include <UserDataFixture.h>
#include <install/MsiBinding.h>
#include <install/PerUserInstall.h>

#include "support/TestSupport.h"

// Which Installer reconfigurations the library asked for. The pass is handed
// the real Installer's functions with its run recorded: every run goes on to
// the real Installer unchanged and is then logged here.
struct InstallerRunLog {
    std::vector<std::wstring> products, properties;  // of each run, in order
    std::function<void()> afterEachRun;              // e.g. to change what the pass sees next
};
// The log since the last `installerRuns = {}`.
static InstallerRunLog installerRuns;
static UINT WINAPI RecordedRun(LPCWSTR productCode, int level, INSTALLSTATE state, LPCWSTR properties) {
    const UINT status = userdata::Installer(nullptr).configureProductEx(productCode, level, state, properties);
    installerRuns.products.push_back(productCode), installerRuns.properties.push_back(properties);
    if (installerRuns.afterEachRun) installerRuns.afterEachRun();
    return status;
}

// The property strings of runs in the REINSTALLMODEs `modes`, separated by
// spaces: "uos" lays the per-user data down, "m" rewrites the machine's
// registration (of every feature), "p" restores missing files, "u" rewrites
// the user's registry data.
static std::vector<std::wstring> Reinstalls(const std::wstring& modes) {
    std::vector<std::wstring> runs;
    std::wistringstream words(modes);
    for (std::wstring mode; words >> mode;)
        runs.push_back(L"REINSTALL=" + std::wstring(mode == L"m" ? L"ALL" : L"UserData") + L" REINSTALLMODE=" + mode +
                       L" TRLV_SECONDARY_INSTALL=1");
    return runs;
}

// Wine lists a key's values sorted by name, Windows in the order they were
// written: these two are written in their sorted order, and the fixture's
// product code sorts between them.
constexpr wchar_t kUnknownProduct[] = L"{0D5E7A31-2B64-4C98-8F10-6A3B9E2C7D41}";
constexpr wchar_t kOtherUnknownProduct[] = L"{E41B9C07-6D23-4A5F-B8E2-1C7F3A9D0B56}";
static_assert(kUnknownProduct[1] < kFixtureProductCode[1] && kFixtureProductCode[1] < kOtherUnknownProduct[1]);
constexpr wchar_t kRelative[] = L"TrelvixCore.dll", kAbsolute[] = L"C:\\Program Files\\Veltrane\\TrelvixCore.dll";

static std::optional<std::wstring> UserString(const std::wstring& key, const wchar_t* name) {
    wchar_t text[1024];
    DWORD bytes = sizeof text;
    if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_REG_SZ, nullptr, text, &bytes)) return std::nullopt;
    return text;
}

// A machine product root of the test's own whose UserData key, in `hive`,
// lists products: value name = product code, data = per-user key path.
struct ProductList : TestKey {
    explicit ProductList(HKEY hive = HKEY_LOCAL_MACHINE, const std::wstring& root = TestKey::UniquePath())
        : TestKey(hive, root + L"\\UserData"), root(root) {}
    ProductList& add(const wchar_t* code, const std::wstring& userKey) { return setString(code, userKey), *this; }
    unsigned int install() const {
        userdata::InstallerFunctions recorded = userdata::Installer(nullptr);
        recorded.configureProductEx = RecordedRun;
        return userdata::InstallUserDataUnder(root.c_str(), &recorded);
    }
    const std::wstring root;
};

// A root of exactly `chars` characters, of several key names (each is 255 at most).
static std::wstring RootOfLength(size_t chars) {
    std::wstring root = TestKey::UniquePath();
    while (root.size() < chars) root += L"\\" + std::wstring(std::min<size_t>(200, chars - root.size() - 1), L'r');
    return root.back() == L'\\' ? root.back() = L'r', root : root;
}

// Products the Installer does not know: every run fails, and the last
// product's status is the pass's.
TEST_CASE("ReconfigurationPass.EachProductStateGetsItsRepair") {
    const std::wstring missing = L"C:\\UserDataTests\\NoSuchFolder", overlong = L"C:\\" + std::wstring(MAX_PATH, L'f');
    // The first product's per-user key (none: missing) and its LocalRootFolder
    // (empty: none); the COM server registered at the start and after every
    // run (none: unchanged); a second product, whose per-user key needs
    // nothing; the runs' modes. A status of a machine-registration run is
    // never the pass's.
    const struct { const char* name; const wchar_t* leaf; std::wstring folder; const wchar_t *atStart, *afterRun;
                   bool second; const wchar_t* runs; } cases[] = {
        {"missing per-user key: laid down; a failed run ends it", nullptr, L"", kRelative, nullptr, false, L"uos"},
        {"no LocalRootFolder value: nothing to check", L"TRLV-1", L"", kRelative, nullptr, false, L""},
        {"LocalRootFolder longer than a path: nothing to check", L"TRLV-1", overlong, kRelative, nullptr, false, L""},
        {"missing folder: restored, then rewritten as still missing", L"TRLV-1", missing, kRelative, nullptr, false,
         L"p u"},
        {"KPM before the last hyphen: no folder checks", L"TRLV-KPM-1", missing, kRelative, nullptr, false, L""},
        {"lower-case kpm is another name", L"TRLV-kpm-1", missing, kRelative, nullptr, false, L"p u"},
        {"KPM before an earlier hyphen only", L"TRLV-KPM-1-2", missing, kRelative, nullptr, false, L"p u"},
        {"absolute registration: rewritten for each product", L"TRLV-1", L"", kAbsolute, nullptr, true, L"m m"},
        {"products after a rewrite that fixed it need none", L"TRLV-1", L"", kAbsolute, kRelative, true, L"m"},
        {"relative at the start: not asked again in the pass", nullptr, L"", kRelative, kAbsolute, true, L"uos"},
        {"a failed lay-down ends its product before the rewrite", nullptr, L"", kAbsolute, nullptr, true, L"uos m"},
    };
    const RequiredServer server;
    for (const auto& c : cases) {
        INFO(c.name);
        server.set(c.atStart);
        const std::wstring userKeyPath = TestKey::UniquePath() + L"\\" + (c.leaf ? c.leaf : L"TRLV-1");
        std::optional<TestKey> userKey;
        if (c.leaf) userKey.emplace(HKEY_CURRENT_USER, userKeyPath).setString(L"Present", L"");
        if (!c.folder.empty()) userKey->setString(L"LocalRootFolder", c.folder);
        const TestKey secondKey(HKEY_CURRENT_USER);
        ProductList products;
        products.add(kUnknownProduct, userKeyPath);
        if (c.second) products.add(kOtherUnknownProduct, secondKey.path());
        installerRuns = {{}, {}, [&] { c.afterRun ? server.set(c.afterRun) : void(); }};
        CHECK((c.second || !*c.runs ? 0u : unsigned(ERROR_UNKNOWN_PRODUCT)) == products.install());
        CHECK(Reinstalls(c.runs) == installerRuns.properties);
        if (!c.second) {
            for (const std::wstring& product : installerRuns.products) CHECK(kUnknownProduct == product);
            CHECK_MESSAGE((!c.leaf || !*c.runs == UserString(userKeyPath, L"Present").has_value()),
                          "deleted for \"u\"");
        }
    }
    installerRuns = {};  // the hook refers to this test's server
}

// The Installer's interface level and owner window, as a stand-in Installer
// keeps them: MsiSetInternalUI's way, where a null pointer leaves the owner.
static std::pair<INSTALLUILEVEL, HWND> standIn, standInWhileRunning;

TEST_CASE("ReconfigurationRun.BasicInterfaceWithoutCancelAndNoOwnerWhileTheInstallerRuns") {
    const userdata::InstallerFunctions installer{
        [](INSTALLUILEVEL level, HWND* owner) {
            if (owner) std::swap(standIn.second, *owner);
            return std::exchange(standIn.first, level);
        },
        [](LPCWSTR, int, INSTALLSTATE, LPCWSTR) { standInWhileRunning = standIn; return UINT(ERROR_INSTALL_FAILURE); }};
    const auto before = std::make_pair(INSTALLUILEVEL_NONE, GetDesktopWindow());
    standIn = before;
    CHECK(unsigned(ERROR_INSTALL_FAILURE) == userdata::ReconfigureProduct(installer, kUnknownProduct, L""));
    const auto basicWithoutCancel = INSTALLUILEVEL(INSTALLUILEVEL_BASIC | INSTALLUILEVEL_HIDECANCEL);
    CHECK(basicWithoutCancel == standInWhileRunning.first);
    CHECK_MESSAGE(standInWhileRunning.second == HWND(), "no owner window while the Installer runs");
    CHECK_MESSAGE((before == standIn), "the host's level and owner are put back");
}

// The fixture package, repaired by the real Installer, which puts back what
// each case breaks.
TEST_CASE("FixtureProduct.EachBreakageGetsItsRepair") {
    const std::wstring localRoot = UserString(kFixtureUserKey, L"LocalRootFolder").value_or(L"");
    REQUIRE_FALSE_MESSAGE(localRoot.empty(), "the fixture package is not installed (ctest runs msi.install first)");
    enum Breakage { None, UserKeyDeleted, FolderDeleted, FolderHeldForReadingOnly };
    // Whether the per-user key was deleted before the pass: by the test, or by the library.
    const struct { const char* name; Breakage breakage; const wchar_t* runs; bool userKeyDeleted; } cases[] = {
        {"healthy: no run", None, L"", false},
        // With an absolute COM registration, so that the restored product goes on to the further checks.
        {"per-user key deleted: laid down as a secondary install", UserKeyDeleted, L"uos m", true},
        {"local folder deleted: restored, the per-user key untouched", FolderDeleted, L"p", false},
        {"folder held for reading only: the per-user key deleted first", FolderHeldForReadingOnly, L"u", true},
    };
    ProductList products;
    products.add(kFixtureProductCode, kFixtureUserKey);
    const RequiredServer server;
    for (const auto& c : cases) {
        INFO(c.name);
        REQUIRE(0 == RegSetKeyValueW(HKEY_CURRENT_USER, kFixtureUserKey, L"PresentBeforeThePass", REG_SZ, L"", 2));
        server.set(c.breakage == UserKeyDeleted ? kAbsolute : kRelative);
        REQUIRE((c.breakage != UserKeyDeleted || !RegDeleteTreeW(HKEY_CURRENT_USER, kFixtureUserKey)));
        REQUIRE((c.breakage != FolderDeleted || RemoveDirectoryW(localRoot.c_str())));
        userdata::UniqueFile holder;
        if (c.breakage == FolderHeldForReadingOnly) holder = HoldForReadingOnly(localRoot);
        REQUIRE((c.breakage == FolderHeldForReadingOnly) == bool(holder));
        installerRuns = {};
        CHECK(ERROR_SUCCESS == products.install());
        holder.reset();
        CHECK(Reinstalls(c.runs) == installerRuns.properties);
        for (const std::wstring& product : installerRuns.products) CHECK(kFixtureProductCode == product);
        CHECK(c.userKeyDeleted == !UserString(kFixtureUserKey, L"PresentBeforeThePass"));
        if (c.breakage == UserKeyDeleted) {
            CHECK_MESSAGE(std::wstring(L"1") == UserString(kFixtureUserKey, L"SecondaryInstall"),
                          "TRLV_SECONDARY_INSTALL not passed");
        }
    }
}

// In a process of its own, through the exports only.
TEST_CASE("FreshProcess.FlagsInstallerBindingAndTheProfileRecordedOnlyByTheFirstSuccess" *
          doctest::test_suite("FreshProcess")) {
    const auto installerLoaded = [] { return GetModuleHandleW(L"msi.dll") != nullptr; };
    REQUIRE_FALSE_MESSAGE(installerLoaded(), "loading the library bound the Installer");
    const RequiredServer server;
    // The longest root that leaves room for "\UserData". Its list's default
    // value names no product, though its per-user key is missing.
    ProductList products(HKEY_LOCAL_MACHINE, RootOfLength(userdata::kMaxMachineRootChars));
    products.add(nullptr, TestKey::UniquePath()).add(kFixtureProductCode, kFixtureUserKey);
    const json product = {{"productCultureSpecificRootName", WideToUtf8(products.root)}, {"currentProduct", "nDoC"}};
    REQUIRE(0u == InitProduct(product));
    CHECK_FALSE(tvudIsSecondaryInstall());
    CHECK(tvudIsNimbraDoc());

    // A failed call records nothing; nor does the first success, made with
    // the profile variable unset, and none after it tries again.
    REQUIRE(0u == InitProduct({{"productCultureSpecificRootName", WideToUtf8(products.root + L"x")}}));
    CHECK(unsigned(ERROR_FILENAME_EXCED_RANGE) == InstallUserData());
    REQUIRE(0u == InitProduct(product));
    wchar_t profile[MAX_PATH] = {};
    REQUIRE(0u != GetEnvironmentVariableW(L"USERPROFILE", profile, MAX_PATH));
    REQUIRE(SetEnvironmentVariableW(L"USERPROFILE", nullptr));
    CHECK(ERROR_SUCCESS == InstallUserData());
    REQUIRE(SetEnvironmentVariableW(L"USERPROFILE", profile));
    CHECK_FALSE_MESSAGE(tvudIsSecondaryInstall(), "every per-user key was present");
    CHECK_FALSE_MESSAGE(installerLoaded(), "a pass without repairs, or a question, bound the Installer");

    // The last product's status is the pass's; the flag is set although the
    // reconfiguration failed.
    products.add(kOtherUnknownProduct, TestKey::UniquePath());
    CHECK(ERROR_UNKNOWN_PRODUCT == InstallUserData());
    CHECK(tvudIsSecondaryInstall());
    CHECK(installerLoaded());

    const TestKey key(HKEY_CURRENT_USER);
    const std::wstring text = std::wstring(profile) + L"\\Templates";
    REQUIRE(0u == tvudRegSetString(key.handle(), L"V", text.c_str()));
    CHECK_MESSAGE(text == UserString(key.path(), L"V"), "the profile folder was recorded");
    REQUIRE(0u == InitProduct({{"currentProduct", "NDOCX"}}));
    CHECK_FALSE(tvudIsNimbraDoc());
}
