// The per-user data installation against the real Windows Installer: the
// fixture package that msi.install laid down, and well-formed product codes
// that no package uses (the Installer answers ERROR_UNKNOWN_PRODUCT for
// them). Wine's Installer restores every feature whatever REINSTALL and
// REINSTALLMODE say, so the property strings are checked as passed, through
// the reconfiguration observer, and the package's effects only where they do
// not depend on the mode.
//
// The suites named FreshProcess* run in a process of their own (ctest's
// test_install.fresh_process): they watch process-wide state from its start.
#include <gmock/gmock.h>

#include <UserData.h>
#include <windows.h>

#include <install/EnvironmentSubstitutions.h>
#include <install/InstallState.h>
#include <install/MsiBinding.h>
#include <install/UserDataInstallation.h>

#include <UserDataFixture.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <vector>

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
    if (RegGetValueW(hive, key.c_str(), name, RRF_RT_REG_SZ, nullptr, buffer, &bytes) != ERROR_SUCCESS)
        return std::nullopt;
    return std::wstring(buffer);
}

void WriteString(HKEY hive, const std::wstring& key, const wchar_t* name, const std::wstring& text) {
    ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueW(hive, key.c_str(), name, REG_SZ, text.c_str(),
                                             static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))));
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
        serverClass_.emplace(HKEY_LOCAL_MACHINE, kRequiredServerClass);
        RegisterRequiredServer(kRelativeServer);
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
class RunRecorder {
public:
    explicit RunRecorder(std::function<void()> onRun = nullptr)
        : previous_(userdata::SetReconfigurationObserver([this, onRun](const wchar_t* product, const wchar_t* line, UINT) {
              products.push_back(product);
              properties.push_back(line);
              if (onRun) onRun();
          })) {}
    ~RunRecorder() { userdata::SetReconfigurationObserver(std::move(previous_)); }
    RunRecorder(const RunRecorder&) = delete;
    RunRecorder& operator=(const RunRecorder&) = delete;

    std::vector<std::wstring> products, properties;

private:
    userdata::ReconfigurationObserver previous_;
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

// --- What each product's state leads to (products the Installer does not know)

TEST(ReconfigurationPass, EachProductStateGetsItsRepair) {
    const std::wstring missingFolder = L"C:\\UserDataTests\\NoSuchFolder";
    const struct {
        const char* name;
        const wchar_t* userKeyLeaf;  // nullptr: the per-user key is missing
        std::wstring localRootFolder;  // empty: no such value
        std::vector<std::wstring> runs;
    } cases[] = {
        {"missing per-user key: laid down, and a failed run ends the product's work", nullptr, L"", {kLayDown}},
        {"no LocalRootFolder value: nothing to check", L"TRLV-1", L"", {}},
        {"LocalRootFolder longer than a path: nothing to check", L"TRLV-1", L"C:\\" + std::wstring(MAX_PATH, L'f'),
         {}},
        {"missing folder: files restored, then user data rewritten as it still does not open", L"TRLV-1",
         missingFolder, {kMissingFiles, kUserRegistry}},
        {"KPM before the last hyphen: no folder checks", L"TRLV-KPM-1", missingFolder, {}},
        {"lower-case kpm is another name", L"TRLV-kpm-1", missingFolder, {kMissingFiles, kUserRegistry}},
        {"KPM before an earlier hyphen only", L"TRLV-KPM-1-2", missingFolder, {kMissingFiles, kUserRegistry}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::wstring userKeyPath = TestKey::UniquePath() + L"\\" + (c.userKeyLeaf ? c.userKeyLeaf : L"TRLV-1");
        std::optional<TestKey> userKey;
        if (c.userKeyLeaf) userKey.emplace(HKEY_CURRENT_USER, userKeyPath);
        if (!c.localRootFolder.empty()) userKey->setString(L"LocalRootFolder", c.localRootFolder);
        ProductList products;
        products.add(kUnknownProduct, userKeyPath);
        RunRecorder recorder;
        // Every run fails for an unknown product, and the last one's status is the pass's.
        EXPECT_EQ(c.runs.empty() ? 0u : static_cast<unsigned>(ERROR_UNKNOWN_PRODUCT), products.install());
        EXPECT_EQ(c.runs, recorder.properties);
        EXPECT_THAT(recorder.products, Each(std::wstring(kUnknownProduct)));
        if (c.userKeyLeaf) {
            EXPECT_EQ(!c.runs.empty(), !KeyExists(HKEY_CURRENT_USER, userKeyPath)) << "deleted for the \"u\" run";
        }
    }
}

// --- The machine's COM registration ---------------------------------------

TEST(ComRepair, MachineRegistrationIsRewrittenWhileItStaysAbsolute) {
    const struct {
        const char* name;
        const wchar_t* serverAtStart;
        bool firstUserKeyMissing;
        const wchar_t* serverAfterEachRun;  // nullptr: the run changes nothing
        std::vector<std::wstring> runs;
    } cases[] = {
        {"absolute registration: rewritten for each product, its status not kept", kAbsoluteServer, false, nullptr,
         {kMachineRegistration, kMachineRegistration}},
        {"products after a rewrite that fixed it need none", kAbsoluteServer, false, kRelativeServer,
         {kMachineRegistration}},
        {"relative at the start: not asked again during the pass", kRelativeServer, true, kAbsoluteServer,
         {kLayDown}},
        {"a failed lay-down ends its product before the rewrite", kAbsoluteServer, true, nullptr,
         {kLayDown, kMachineRegistration}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RegisterRequiredServer(c.serverAtStart);
        // Per-user keys without a folder to check; the first may be missing.
        const TestKey first(HKEY_CURRENT_USER), second(HKEY_CURRENT_USER);
        ProductList products;
        products.add(kUnknownProduct, c.firstUserKeyMissing ? TestKey::UniquePath() : first.path())
            .add(kOtherUnknownProduct, second.path());
        {
            RunRecorder recorder([&c] {
                if (c.serverAfterEachRun) RegisterRequiredServer(c.serverAfterEachRun);
            });
            EXPECT_EQ(ERROR_SUCCESS, products.install());
            EXPECT_EQ(c.runs, recorder.properties);
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
        HANDLE holder = INVALID_HANDLE_VALUE;
        if (c.breakage == Breakage::UserKeyDeleted) {
            ASSERT_EQ(ERROR_SUCCESS, RegDeleteTreeW(HKEY_CURRENT_USER, kFixtureUserKey));
            RegisterRequiredServer(kAbsoluteServer);
        }
        ASSERT_TRUE(c.breakage != Breakage::FolderDeleted || RemoveDirectoryW(localRoot.c_str()));
        if (c.breakage == Breakage::FolderHeldForReadingOnly) {
            // Others may read but not write, so a read-write open fails with a sharing violation.
            holder = CreateFileW(localRoot.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_BACKUP_SEMANTICS, nullptr);
            ASSERT_NE(INVALID_HANDLE_VALUE, holder);
        }
        RunRecorder recorder;
        EXPECT_EQ(ERROR_SUCCESS, products.install());
        if (holder != INVALID_HANDLE_VALUE) CloseHandle(holder);
        RegisterRequiredServer(kRelativeServer);

        EXPECT_EQ(c.runs, recorder.properties);
        EXPECT_THAT(recorder.products, Each(std::wstring(kFixtureProductCode)));
        EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(localRoot.c_str()));
        EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kFixtureUserKey));
        EXPECT_EQ(c.userKeyDeleted, !ReadString(HKEY_CURRENT_USER, kFixtureUserKey, L"PresentBeforeThePass"));
        if (c.breakage == Breakage::UserKeyDeleted) {
            EXPECT_EQ(L"1", ReadString(HKEY_CURRENT_USER, kFixtureUserKey, L"SecondaryInstall").value_or(L"<absent>"))
                << "TRLV_SECONDARY_INSTALL did not reach the package";
            EXPECT_TRUE(userdata::s_secondaryInstall);
        }
    }
    const auto& recorded = userdata::EnvironmentSubstitutions();
    ASSERT_EQ(1u, recorded.size());
    EXPECT_EQ(L"USERPROFILE", recorded[0].name);
    std::wstring profile = _wgetenv(L"USERPROFILE");
    CharLowerBuffW(profile.data(), static_cast<DWORD>(profile.size()));
    EXPECT_EQ(profile, recorded[0].value);
}

// --- The Installer's binding -----------------------------------------------

TEST(InstallerBinding, ReconfigurationRestoresTheInterfaceLevelAndOwner) {
    const auto installer = userdata::BindInstallerFunctions(L"msi.dll");
    ASSERT_EQ(static_cast<UINT>(ERROR_SUCCESS), installer.status);
    HWND owner = GetDesktopWindow();
    // `owner` receives the owner in force before, put back at the end.
    const INSTALLUILEVEL levelBefore = installer.setInternalUI(INSTALLUILEVEL_NONE, &owner);

    EXPECT_EQ(static_cast<UINT>(ERROR_UNKNOWN_PRODUCT), userdata::ReconfigureProduct(kUnknownProduct, kLayDown));

    HWND ownerAfter = owner;
    EXPECT_EQ(INSTALLUILEVEL_NONE, installer.setInternalUI(levelBefore, &ownerAfter));
    EXPECT_EQ(GetDesktopWindow(), ownerAfter);
}

// --- In a process of their own ----------------------------------------------

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

bool InstallerLoaded() { return GetModuleHandleW(L"msi.dll") != nullptr; }

TEST(FreshProcessExports, FlagAndInstallerBindingFollowThePasses) {
    ASSERT_FALSE(InstallerLoaded()) << "msi.dll was loaded before any test ran";
    const HMODULE library = LoadLibraryW(L"UserData.dll");
    ASSERT_NE(nullptr, library);

    ProductList products;
    products.add(kFixtureProductCode, kFixtureUserKey);
    ASSERT_EQ(0u, InitProduct({{"productCultureSpecificRootName", Narrow(products.root)}, {"currentProduct", "nDoC"}}));
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
    EXPECT_FALSE(userdata::s_environmentRecorded) << "a call that failed recorded the environment";

    const ProductList products;  // an empty list: a pass that succeeds without the Installer
    wchar_t profile[MAX_PATH] = {};
    ASSERT_NE(0u, GetEnvironmentVariableW(L"USERPROFILE", profile, MAX_PATH));
    ASSERT_TRUE(SetEnvironmentVariableW(L"USERPROFILE", nullptr));
    EXPECT_EQ(ERROR_SUCCESS, products.install());
    ASSERT_TRUE(SetEnvironmentVariableW(L"USERPROFILE", profile));
    EXPECT_TRUE(userdata::s_environmentRecorded);
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
