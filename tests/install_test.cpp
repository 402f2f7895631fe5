// The per-user data installation against the real Windows Installer: the
// fixture package that msi.install laid down, and well-formed product codes
// that no package uses (the Installer answers ERROR_UNKNOWN_PRODUCT for
// them). Wine's Installer restores every feature whatever REINSTALL and
// REINSTALLMODE say, so the property strings are checked as passed, through
// the Installer-run observer, and the package's effects only where they do
// not depend on the mode.
//
// The suites named FreshProcess* run in a process of their own (ctest's
// test_install.fresh_process): they watch process-wide state from its start.
#include <gmock/gmock.h>

#include <UserData.h>
#include <windows.h>

#include <install/MsiBinding.h>
#include <install/PerUserInstall.h>
#include <install/ProductRepairPass.h>
#include <registry/EnvironmentReferences.h>

#include <UserDataFixture.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "support/InstallerRuns.h"
#include "support/ProductConfig.h"
#include "support/TestKey.h"

using testing_support::InitProduct;
using testing_support::KeyExists;
using testing_support::TestKey;
using ::testing::Each;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

constexpr wchar_t kLayDown[] = L"REINSTALL=UserData REINSTALLMODE=uos TRLV_SECONDARY_INSTALL=1";
constexpr wchar_t kMachineRegistration[] = L"REINSTALL=ALL REINSTALLMODE=m TRLV_SECONDARY_INSTALL=1";
constexpr wchar_t kMissingFiles[] = L"REINSTALL=UserData REINSTALLMODE=p TRLV_SECONDARY_INSTALL=1";
constexpr wchar_t kUserRegistry[] = L"REINSTALL=UserData REINSTALLMODE=u TRLV_SECONDARY_INSTALL=1";

// Wine lists a key's values sorted by name, Windows in the order they were
// written: these two are written in their sorted order, and the fixture's
// product code sorts between them.
constexpr wchar_t kUnknownProduct[] = L"{0D5E7A31-2B64-4C98-8F10-6A3B9E2C7D41}";
constexpr wchar_t kOtherUnknownProduct[] = L"{E41B9C07-6D23-4A5F-B8E2-1C7F3A9D0B56}";

constexpr wchar_t kRequiredServerClass[] = L"Software\\Classes\\CLSID\\{3F6B2D84-9E15-4C7A-8B02-D4A9C1E65F38}";
constexpr wchar_t kRelativeServer[] = L"TrelvixCore.dll";
constexpr wchar_t kAbsoluteServer[] = L"C:\\Program Files\\Veltrane\\TrelvixCore.dll";

std::optional<std::wstring> ReadString(HKEY hive, const std::wstring& key, const wchar_t* name) {
    wchar_t buffer[1024];
    DWORD bytes = sizeof buffer;
    const bool read = RegGetValueW(hive, key.c_str(), name, RRF_RT_REG_SZ, nullptr, buffer, &bytes) == ERROR_SUCCESS;
    return read ? std::optional(std::wstring(buffer)) : std::nullopt;
}
void WriteString(HKEY hive, const std::wstring& key, const wchar_t* name, const std::wstring& text) {
    ASSERT_EQ(0, RegSetKeyValueW(hive, key.c_str(), name, REG_SZ, text.c_str(), DWORD((text.size() + 1) * 2)));
}

// The server path of the product's required COM class, which the pass asks
// about; registered relative for the whole program (see InstallEnvironment).
void RegisterRequiredServer(const std::wstring& path) {
    WriteString(HKEY_LOCAL_MACHINE, std::wstring(kRequiredServerClass) + L"\\InProcServer32", nullptr, path);
}

// Without a relative registration of the required COM server, every product
// would also get the machine-registration repair; the tests that are about
// that repair change the registration and put it back.
class InstallEnvironment : public ::testing::Environment {
    void SetUp() override {
        serverClass_.emplace(HKEY_LOCAL_MACHINE, kRequiredServerClass), RegisterRequiredServer(kRelativeServer);
    }
    void TearDown() override { serverClass_.reset(); }
    std::optional<TestKey> serverClass_;
};

::testing::Environment* const kInstallEnvironment = ::testing::AddGlobalTestEnvironment(new InstallEnvironment);

// A machine product root of the test's own whose UserData key, in `hive`,
// lists products: value name = product code, data = per-user key path.
struct ProductList : TestKey {
    explicit ProductList(HKEY hive = HKEY_LOCAL_MACHINE, const std::wstring& root = TestKey::UniquePath())
        : TestKey(hive, root + L"\\UserData"), root(root) {}
    ProductList& add(const wchar_t* productCode, const std::wstring& userKeyPath) {
        setString(productCode, userKeyPath);
        return *this;
    }
    unsigned int install() const { return userdata::InstallUserDataUnder(root.c_str()); }
    const std::wstring root;
};

// Records every reconfiguration asked for while it lives; `onRun`, if given,
// is called after each one, e.g. to change what the pass will see next.
struct RunRecorder {
    explicit RunRecorder(std::function<void()> onRun = nullptr)
        : previous(testing_support::SetInstallerRunObserver([this, onRun](const wchar_t* product, const wchar_t* line, UINT) {
              products.push_back(product), properties.push_back(line);
              if (onRun) onRun();
          })) {}
    ~RunRecorder() { testing_support::SetInstallerRunObserver(std::move(previous)); }
    std::vector<std::wstring> products, properties;
    testing_support::InstallerRunObserver previous;
};

// --- Where the pass looks for its product list ------------------------------

// A root of exactly `chars` characters. Registry key names are limited to
// 255 characters, so it is made of several.
std::wstring RootOfLength(size_t chars) {
    std::wstring root = TestKey::UniquePath();
    while (root.size() < chars) root += L"\\" + std::wstring(std::min<size_t>(200, chars - root.size() - 1), L'r');
    if (root.back() == L'\\') root.back() = L'r';
    return root;
}

TEST(InstallUserData, FindsItsProductListOrSaysWhyNot) {
    enum class Lists { None, Machine, User, DeniedMachineAndUser };
    const struct {
        const char* name;
        std::wstring root;
        Lists lists;
        const wchar_t* listed;  // with a missing per-user key, in the user's list where there is one
        unsigned int expected;
        std::vector<std::wstring> runs;
    } cases[] = {
        {"empty root", L"", Lists::None, nullptr, ERROR_FILE_NOT_FOUND, {}},
        {"root one character over the key path's room", RootOfLength(userdata::kMaxMachineRootChars + 1),
         Lists::None, nullptr, ERROR_FILENAME_EXCED_RANGE, {}},
        {"longest root", RootOfLength(userdata::kMaxMachineRootChars), Lists::Machine, nullptr, ERROR_SUCCESS, {}},
        {"the default value names no product", TestKey::UniquePath(), Lists::Machine, L"", ERROR_SUCCESS, {}},
        {"list only in the user hive", TestKey::UniquePath(), Lists::User, kUnknownProduct, ERROR_UNKNOWN_PRODUCT,
         {kLayDown}},
        {"denied machine list: the user's is not tried", TestKey::UniquePath(), Lists::DeniedMachineAndUser,
         kUnknownProduct, ERROR_ACCESS_DENIED, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::optional<ProductList> machine, user;
        if (c.lists == Lists::Machine || c.lists == Lists::DeniedMachineAndUser) machine.emplace(HKEY_LOCAL_MACHINE, c.root);
        if (c.lists == Lists::User || c.lists == Lists::DeniedMachineAndUser) user.emplace(HKEY_CURRENT_USER, c.root);
        if (c.listed) (user ? *user : *machine).add(c.listed, TestKey::UniquePath());
        if (c.lists == Lists::DeniedMachineAndUser) machine->denyReading();
        RunRecorder recorder;
        EXPECT_EQ(c.expected, userdata::InstallUserDataUnder(c.root.c_str()));
        EXPECT_EQ(c.runs, recorder.properties);
    }
}

// --- What each product's state, and the COM registration, lead to (products
// the Installer does not know: every run fails, and the last product's status
// is the pass's)

TEST(ReconfigurationPass, EachProductStateGetsItsRepair) {
    const std::wstring missing = L"C:\\UserDataTests\\NoSuchFolder";
    const struct {
        const char* name;
        const wchar_t* userKeyLeaf;    // nullptr: the (first) per-user key is missing
        std::wstring localRootFolder;  // empty: no such value
        const wchar_t *serverAtStart, *serverAfterEachRun;  // nullptr: a run changes nothing
        bool second;                   // a second product, whose per-user key needs nothing
        std::vector<std::wstring> runs;
    } cases[] = {
        {"missing per-user key: laid down, and a failed run ends the product's work", nullptr, L"", kRelativeServer,
         nullptr, false, {kLayDown}},
        {"no LocalRootFolder value: nothing to check", L"TRLV-1", L"", kRelativeServer, nullptr, false, {}},
        {"LocalRootFolder longer than a path: nothing to check", L"TRLV-1", L"C:\\" + std::wstring(MAX_PATH, L'f'),
         kRelativeServer, nullptr, false, {}},
        {"missing folder: files restored, then user data rewritten as it still does not open", L"TRLV-1", missing,
         kRelativeServer, nullptr, false, {kMissingFiles, kUserRegistry}},
        {"KPM before the last hyphen: no folder checks", L"TRLV-KPM-1", missing, kRelativeServer, nullptr, false, {}},
        {"lower-case kpm is another name", L"TRLV-kpm-1", missing, kRelativeServer, nullptr, false,
         {kMissingFiles, kUserRegistry}},
        {"KPM before an earlier hyphen only", L"TRLV-KPM-1-2", missing, kRelativeServer, nullptr, false,
         {kMissingFiles, kUserRegistry}},
        {"absolute registration: rewritten for each product, its status not kept", L"TRLV-1", L"", kAbsoluteServer,
         nullptr, true, {kMachineRegistration, kMachineRegistration}},
        {"products after a rewrite that fixed it need none", L"TRLV-1", L"", kAbsoluteServer, kRelativeServer, true,
         {kMachineRegistration}},
        {"relative at the start: not asked again during the pass", nullptr, L"", kRelativeServer, kAbsoluteServer, true,
         {kLayDown}},
        {"a failed lay-down ends its product before the rewrite", nullptr, L"", kAbsoluteServer, nullptr, true,
         {kLayDown, kMachineRegistration}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RegisterRequiredServer(c.serverAtStart);
        const std::wstring userKeyPath = TestKey::UniquePath() + L"\\" + (c.userKeyLeaf ? c.userKeyLeaf : L"TRLV-1");
        std::optional<TestKey> userKey;
        if (c.userKeyLeaf) userKey.emplace(HKEY_CURRENT_USER, userKeyPath);
        if (!c.localRootFolder.empty()) userKey->setString(L"LocalRootFolder", c.localRootFolder);
        const TestKey secondKey(HKEY_CURRENT_USER);
        ProductList products;
        products.add(kUnknownProduct, userKeyPath);
        if (c.second) products.add(kOtherUnknownProduct, secondKey.path());
        {
            RunRecorder recorder([&c] {
                if (c.serverAfterEachRun) RegisterRequiredServer(c.serverAfterEachRun);
            });
            EXPECT_EQ(c.second || c.runs.empty() ? 0u : unsigned(ERROR_UNKNOWN_PRODUCT), products.install());
            EXPECT_EQ(c.runs, recorder.properties);
            if (!c.second) { EXPECT_THAT(recorder.products, Each(std::wstring(kUnknownProduct))); }
        }
        if (c.userKeyLeaf && !c.second) {
            EXPECT_EQ(!c.runs.empty(), !KeyExists(HKEY_CURRENT_USER, userKeyPath)) << "deleted for the \"u\" run";
        }
        RegisterRequiredServer(kRelativeServer);
    }
}

// --- The fixture package, repaired by the real Installer --------------------

TEST(FixtureProduct, EachBreakageGetsItsRepairAndTheProfileIsRecordedOnce) {
    const std::wstring localRoot = ReadString(HKEY_CURRENT_USER, kFixtureUserKey, L"LocalRootFolder").value_or(L"");
    ASSERT_FALSE(localRoot.empty()) << "the fixture package is not installed (ctest runs msi.install first)";
    enum class Breakage { None, UserKeyDeleted, FolderDeleted, FolderHeldForReadingOnly };
    const struct {
        const char* name;
        Breakage breakage;
        std::vector<std::wstring> runs;
        bool userKeyDeleted;  // and rewritten by the Installer
    } cases[] = {
        {"healthy: no run", Breakage::None, {}, false},
        // With an absolute COM registration, so that the restored product goes on to the further checks.
        {"per-user key deleted: laid down as a secondary install", Breakage::UserKeyDeleted,
         {kLayDown, kMachineRegistration}, true},
        {"local folder deleted: restored, the per-user key untouched", Breakage::FolderDeleted, {kMissingFiles},
         false},
        {"folder held for reading only: the per-user key deleted first", Breakage::FolderHeldForReadingOnly,
         {kUserRegistry}, true},
    };
    ProductList products;
    products.add(kFixtureProductCode, kFixtureUserKey);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteString(HKEY_CURRENT_USER, kFixtureUserKey, L"PresentBeforeThePass", L"1");
        if (c.breakage == Breakage::UserKeyDeleted) RegisterRequiredServer(kAbsoluteServer);
        ASSERT_TRUE(c.breakage != Breakage::UserKeyDeleted || !RegDeleteTreeW(HKEY_CURRENT_USER, kFixtureUserKey));
        ASSERT_TRUE(c.breakage != Breakage::FolderDeleted || RemoveDirectoryW(localRoot.c_str()));
        // Others may read but not write, so a read-write open fails with a sharing violation.
        const HANDLE holder = c.breakage != Breakage::FolderHeldForReadingOnly
                                  ? INVALID_HANDLE_VALUE
                                  : CreateFileW(localRoot.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        ASSERT_EQ(c.breakage == Breakage::FolderHeldForReadingOnly, holder != INVALID_HANDLE_VALUE);
        RunRecorder recorder;
        EXPECT_EQ(ERROR_SUCCESS, products.install());
        if (holder != INVALID_HANDLE_VALUE) CloseHandle(holder);
        RegisterRequiredServer(kRelativeServer);

        EXPECT_EQ(c.runs, recorder.properties);
        EXPECT_THAT(recorder.products, Each(std::wstring(kFixtureProductCode)));
        EXPECT_TRUE(GetFileAttributesW(localRoot.c_str()) != INVALID_FILE_ATTRIBUTES &&
                    KeyExists(HKEY_CURRENT_USER, kFixtureUserKey))
            << "the local folder and the per-user key are there after the pass";
        EXPECT_EQ(c.userKeyDeleted, !ReadString(HKEY_CURRENT_USER, kFixtureUserKey, L"PresentBeforeThePass"));
        if (c.breakage == Breakage::UserKeyDeleted) {
            EXPECT_EQ(L"1", ReadString(HKEY_CURRENT_USER, kFixtureUserKey, L"SecondaryInstall").value_or(L"<absent>"))
                << "TRLV_SECONDARY_INSTALL did not reach the package";
            EXPECT_TRUE(userdata::SecondaryInstallFound());
        }
    }
    std::wstring profile = L"USERPROFILE=" + std::wstring(_wgetenv(L"USERPROFILE"));
    CharLowerBuffW(profile.data() + 12, DWORD(profile.size() - 12));
    std::vector<std::wstring> recorded;
    for (const auto& entry : userdata::EnvironmentSubstitutions()) recorded.push_back(entry.name + L"=" + entry.value);
    EXPECT_THAT(recorded, ElementsAre(profile));
}

// --- The Installer's binding -----------------------------------------------

TEST(InstallerBinding, ReconfigurationRestoresTheInterfaceLevelAndOwner) {
    const auto installer = userdata::BindInstallerFunctions(L"msi.dll");
    ASSERT_EQ(0u, installer.status);
    HWND owner = GetDesktopWindow();
    // `owner` receives the owner in force before, put back at the end.
    const INSTALLUILEVEL levelBefore = installer.setInternalUI(INSTALLUILEVEL_NONE, &owner);

    EXPECT_EQ(unsigned(ERROR_UNKNOWN_PRODUCT), userdata::ReconfigureProduct(kUnknownProduct, kLayDown));
    HWND ownerAfter = owner;
    EXPECT_EQ(INSTALLUILEVEL_NONE, installer.setInternalUI(levelBefore, &ownerAfter));
    EXPECT_EQ(GetDesktopWindow(), ownerAfter);
}

// --- In a process of their own ----------------------------------------------

bool InstallerLoaded() { return GetModuleHandleW(L"msi.dll") != nullptr; }

TEST(FreshProcessExports, FlagAndInstallerBindingFollowThePasses) {
    ASSERT_FALSE(InstallerLoaded()) << "msi.dll was loaded before any test ran";
    const HMODULE library = LoadLibraryW(L"UserData.dll");
    ASSERT_NE(nullptr, library);

    ProductList products;
    products.add(kFixtureProductCode, kFixtureUserKey);
    const std::string root(products.root.begin(), products.root.end());
    ASSERT_EQ(0u, InitProduct({{"productCultureSpecificRootName", root}, {"currentProduct", "nDoC"}}));
    EXPECT_FALSE(tvudIsSecondaryInstall());
    EXPECT_TRUE(tvudIsNimbraDoc());
    EXPECT_TRUE(CheckCOMServerRelativePaths());
    EXPECT_FALSE(InstallerLoaded()) << "loading the library or asking it questions bound the Installer";

    EXPECT_EQ(ERROR_SUCCESS, InstallUserData());
    EXPECT_FALSE(tvudIsSecondaryInstall()) << "every per-user key was present";
    EXPECT_FALSE(InstallerLoaded()) << "a pass without repairs bound the Installer";

    // Only the last product's status is the pass's. Wine lists values by name, Windows as written.
    static_assert(kUnknownProduct[1] < kFixtureProductCode[1] && kFixtureProductCode[1] < kOtherUnknownProduct[1]);
    products.add(kOtherUnknownProduct, TestKey::UniquePath());
    EXPECT_EQ(ERROR_UNKNOWN_PRODUCT, InstallUserData());
    EXPECT_TRUE(tvudIsSecondaryInstall()) << "set although the reconfiguration failed";
    EXPECT_TRUE(InstallerLoaded());

    ASSERT_EQ(ERROR_SUCCESS, RegDeleteValueW(products.handle(), kOtherUnknownProduct));
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteValueW(products.handle(), kFixtureProductCode));
    products.add(kUnknownProduct, TestKey::UniquePath()).add(kFixtureProductCode, kFixtureUserKey);
    EXPECT_EQ(ERROR_SUCCESS, InstallUserData());
    EXPECT_TRUE(tvudIsSecondaryInstall()) << "the flag never goes back";

    ASSERT_EQ(0u, InitProduct({{"productCultureSpecificRootName", ""}}));
    EXPECT_EQ(static_cast<unsigned>(ERROR_FILE_NOT_FOUND), InstallUserData());
    // Longer than the 512-character buffer the root is read into.
    ASSERT_EQ(0u, InitProduct({{"productCultureSpecificRootName", std::string(600, 'r')}}));
    EXPECT_EQ(static_cast<unsigned>(ERROR_FILENAME_EXCED_RANGE), InstallUserData());
    ASSERT_EQ(0u, InitProduct({{"currentProduct", "NDOCX"}}));
    EXPECT_FALSE(tvudIsNimbraDoc());
    FreeLibrary(library);
}

TEST(FreshProcessEnvironment, ProfileIsTriedOnceAfterASuccessThenEntriesStayLongestFirst) {
    ASSERT_THAT(userdata::EnvironmentSubstitutions(), IsEmpty());
    // No UserData key in either hive.
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, userdata::InstallUserDataUnder(TestKey::UniquePath().c_str()));
    EXPECT_THAT(userdata::EnvironmentSubstitutions(), IsEmpty()) << "a call that failed recorded the environment";

    const ProductList products;  // an empty list: a pass that succeeds without the Installer
    wchar_t profile[MAX_PATH] = {};
    ASSERT_NE(0u, GetEnvironmentVariableW(L"USERPROFILE", profile, MAX_PATH));
    ASSERT_TRUE(SetEnvironmentVariableW(L"USERPROFILE", nullptr));
    EXPECT_EQ(ERROR_SUCCESS, products.install());
    ASSERT_TRUE(SetEnvironmentVariableW(L"USERPROFILE", profile));
    EXPECT_EQ(ERROR_SUCCESS, products.install());
    EXPECT_THAT(userdata::EnvironmentSubstitutions(), IsEmpty()) << "an unset profile is not tried again";

    // Lowercased, an unset variable left out, longest value first.
    ASSERT_TRUE(SetEnvironmentVariableW(L"UD_TEST_EMPTY", L""));
    ASSERT_TRUE(SetEnvironmentVariableW(L"UD_TEST_LONG", L"C:\\Users\\Ann Example"));
    for (const wchar_t* name : {L"UD_TEST_EMPTY", L"UD_TEST_UNSET", L"UD_TEST_LONG"})
        userdata::RecordEnvironmentVariable(name);
    std::vector<std::wstring> recorded;
    for (const auto& entry : userdata::EnvironmentSubstitutions()) recorded.push_back(entry.name + L"=" + entry.value);
    EXPECT_THAT(recorded, ElementsAre(L"UD_TEST_LONG=c:\\users\\ann example", L"UD_TEST_EMPTY="));
}

}  // namespace
