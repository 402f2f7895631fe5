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
#include <cwctype>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "support/ProductConfig.h"
#include "support/TestKey.h"

using testing_support::InitProduct;
using testing_support::TestKey;
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

constexpr wchar_t kRequiredServerKey[] =
    L"Software\\Classes\\CLSID\\{3F6B2D84-9E15-4C7A-8B02-D4A9C1E65F38}\\InProcServer32";
const std::wstring kRelativeServer = L"TrelvixCore.dll";
const std::wstring kAbsoluteServer = L"C:\\Program Files\\Veltrane\\TrelvixCore.dll";
constexpr wchar_t kMarkerValue[] = L"PresentBeforeThePass";

// --- Registry and file helpers ----------------------------------------------

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

bool FolderExists(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The server path of the product's required COM class, which the pass asks
// about; registered relative for the whole program (see InstallEnvironment).
void RegisterRequiredServer(const std::wstring& path) {
    WriteString(HKEY_LOCAL_MACHINE, kRequiredServerKey, nullptr, path);
}

// Deletes `path` (and everything below) when it goes, and its parent when
// that is left empty.
struct KeyRemover {
    HKEY hive;
    std::wstring path;
    ~KeyRemover() {
        RegDeleteTreeW(hive, path.c_str());
        RegDeleteKeyW(hive, path.substr(0, path.rfind(L'\\')).c_str());
    }
};

// A key of the test's own at "<base>\<leaf>", where base is unique to the
// test unless given; removed with its base.
class LeafKey {
public:
    LeafKey(HKEY hive, const std::wstring& leaf, std::wstring base = TestKey::UniquePath())
        : base_{hive, std::move(base)}, key_(hive, base_.path + L"\\" + leaf) {}
    const std::wstring& base() const { return base_.path; }
    const std::wstring& path() const { return key_.path(); }
    TestKey& key() { return key_; }

private:
    KeyRemover base_;
    TestKey key_;
};

// A machine product root of the test's own whose UserData key, in `hive`,
// lists products: value name = product code, data = per-user key path.
class ProductList {
public:
    explicit ProductList(HKEY hive = HKEY_LOCAL_MACHINE, std::wstring root = TestKey::UniquePath())
        : userData_(hive, L"UserData", std::move(root)) {}
    const std::wstring& root() const { return userData_.base(); }
    ProductList& add(const wchar_t* productCode, const std::wstring& userKeyPath) {
        userData_.key().setString(productCode, userKeyPath);
        return *this;
    }
    void denyReading() { userData_.key().denyReading(); }

private:
    LeafKey userData_;
};

// A folder of the test's own below the temporary folder, removed afterwards.
class TestFolder {
public:
    TestFolder() {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        static unsigned counter = 0;
        path_ = std::wstring(temp) + L"userdata-install-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(++counter);
    }
    ~TestFolder() { RemoveDirectoryW(path_.c_str()); }
    void create() const { ASSERT_TRUE(CreateDirectoryW(path_.c_str(), nullptr)); }
    const std::wstring& path() const { return path_; }

private:
    std::wstring path_;
};

// Holds a folder open the way a program that only reads it might: others may
// read but not write, so a read-write open fails with a sharing violation.
class ReadOnlySharingHandle {
public:
    explicit ReadOnlySharingHandle(const std::wstring& folder)
        : handle_(CreateFileW(folder.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS, nullptr)) {}
    ~ReadOnlySharingHandle() {
        if (valid()) CloseHandle(handle_);
    }
    ReadOnlySharingHandle(const ReadOnlySharingHandle&) = delete;
    ReadOnlySharingHandle& operator=(const ReadOnlySharingHandle&) = delete;
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle_;
};

// --- Reconfigurations asked for -------------------------------------------

struct Reconfiguration {
    std::wstring product;
    std::wstring properties;
    UINT status;
};

// Records every reconfiguration while it lives; `onRun`, if given, is called
// after each one, e.g. to change what the pass will see next.
class RunRecorder {
public:
    explicit RunRecorder(std::function<void(const Reconfiguration&)> onRun = nullptr) : onRun_(std::move(onRun)) {
        previous_ = userdata::SetReconfigurationObserver(
            [this](const wchar_t* product, const wchar_t* properties, UINT status) {
                runs_.push_back({product, properties, status});
                if (onRun_) onRun_(runs_.back());
            });
    }
    ~RunRecorder() { userdata::SetReconfigurationObserver(std::move(previous_)); }
    RunRecorder(const RunRecorder&) = delete;
    RunRecorder& operator=(const RunRecorder&) = delete;

    const std::vector<Reconfiguration>& runs() const { return runs_; }
    std::vector<std::wstring> properties() const {
        std::vector<std::wstring> all;
        for (const auto& run : runs_) all.push_back(run.properties);
        return all;
    }
    std::vector<std::wstring> products() const {
        std::vector<std::wstring> all;
        for (const auto& run : runs_) all.push_back(run.product);
        return all;
    }

private:
    std::function<void(const Reconfiguration&)> onRun_;
    std::vector<Reconfiguration> runs_;
    userdata::ReconfigurationObserver previous_;
};

// --- Program-wide set-up ----------------------------------------------------

// Without a relative registration of the required COM server, every product
// would also get the machine-registration repair; the tests that are about
// that repair change the registration and put it back.
class InstallEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        serverClass_ = std::make_unique<TestKey>(
            HKEY_LOCAL_MACHINE, L"Software\\Classes\\CLSID\\{3F6B2D84-9E15-4C7A-8B02-D4A9C1E65F38}");
        serverClass_->createChild(L"InProcServer32");
        RegisterRequiredServer(kRelativeServer);
    }
    void TearDown() override { serverClass_.reset(); }

private:
    std::unique_ptr<TestKey> serverClass_;
};

::testing::Environment* const kInstallEnvironment = ::testing::AddGlobalTestEnvironment(new InstallEnvironment);

// --- Where the pass refuses or cannot find its work -------------------------

struct RootCase {
    const char* name;
    std::optional<std::wstring> root;  // nullopt: a null pointer
    unsigned int expected;
};

// A root of exactly `chars` characters below `base`. Registry key names are
// limited to 255 characters, so it is made of several.
std::wstring RootOfLength(size_t chars, const std::wstring& base = TestKey::UniquePath()) {
    std::wstring root = base;
    while (root.size() < chars) root += L"\\" + std::wstring(std::min<size_t>(200, chars - root.size() - 1), L'r');
    if (root.back() == L'\\') root.back() = L'r';
    return root;
}

TEST(InstallUserData, RefusesRootsThatCannotNameTheKey) {
    const RootCase cases[] = {
        {"null root", std::nullopt, ERROR_FILE_NOT_FOUND},
        {"empty root", std::wstring(), ERROR_FILE_NOT_FOUND},
        {"one character over the key path's room", RootOfLength(userdata::kMaxMachineRootChars + 1),
         ERROR_FILENAME_EXCED_RANGE},
        {"far too long", RootOfLength(2000), ERROR_FILENAME_EXCED_RANGE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RunRecorder recorder;
        EXPECT_EQ(c.expected, userdata::InstallUserDataUnder(c.root ? c.root->c_str() : nullptr));
        EXPECT_THAT(recorder.runs(), IsEmpty());
    }
}

TEST(InstallUserData, LongestRootStillNamesItsKey) {
    const std::wstring base = TestKey::UniquePath();
    const KeyRemover cleanup{HKEY_LOCAL_MACHINE, base};
    const std::wstring root = RootOfLength(userdata::kMaxMachineRootChars, base);
    ASSERT_EQ(userdata::kMaxMachineRootChars, root.size());
    ProductList products(HKEY_LOCAL_MACHINE, root);
    EXPECT_EQ(ERROR_SUCCESS, userdata::InstallUserDataUnder(root.c_str()));
}

TEST(InstallUserData, WithoutAUserDataKeyReportsItMissing) {
    RunRecorder recorder;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, userdata::InstallUserDataUnder(TestKey::UniquePath().c_str()));
    EXPECT_THAT(recorder.runs(), IsEmpty());
}

TEST(InstallUserData, EmptyProductListSucceeds) {
    ProductList products;
    RunRecorder recorder;
    EXPECT_EQ(ERROR_SUCCESS, userdata::InstallUserDataUnder(products.root().c_str()));
    EXPECT_THAT(recorder.runs(), IsEmpty());
}

TEST(InstallUserData, FindsTheProductListInTheUserHiveWhenTheMachineHasNone) {
    ProductList products(HKEY_CURRENT_USER);
    products.add(kUnknownProduct, TestKey::UniquePath());
    RunRecorder recorder;
    EXPECT_EQ(ERROR_UNKNOWN_PRODUCT, userdata::InstallUserDataUnder(products.root().c_str()));
    EXPECT_THAT(recorder.properties(), ElementsAre(kLayDown));
}

TEST(InstallUserData, DeniedMachineListIsNotLookedUpInTheUserHive) {
    ProductList machine(HKEY_LOCAL_MACHINE);
    ProductList user(HKEY_CURRENT_USER, machine.root());
    user.add(kUnknownProduct, TestKey::UniquePath());
    machine.denyReading();
    RunRecorder recorder;
    EXPECT_EQ(ERROR_ACCESS_DENIED, userdata::InstallUserDataUnder(machine.root().c_str()));
    EXPECT_THAT(recorder.runs(), IsEmpty());
}

TEST(InstallUserData, DefaultValueNamesNoProduct) {
    ProductList products;
    products.add(L"", TestKey::UniquePath());  // would be a missing per-user key
    RunRecorder recorder;
    EXPECT_EQ(ERROR_SUCCESS, userdata::InstallUserDataUnder(products.root().c_str()));
    EXPECT_THAT(recorder.runs(), IsEmpty());
}

// --- What each product's state leads to (products the Installer does not know)

enum class Folder { NoValue, Usable, Missing, HeldWithoutWriteSharing, TooLongForTheBuffer };

struct ProductCase {
    const char* name;
    const wchar_t* userKeyLeaf;  // nullptr: the per-user key is missing
    Folder folder;
    std::vector<std::wstring> expectedRuns;
    unsigned int expectedStatus;
    bool userKeyDeleted;
};

const ProductCase kProductCases[] = {
    {"missing per-user key: laid down, and a failed run ends the product's work", nullptr, Folder::NoValue,
     {kLayDown}, ERROR_UNKNOWN_PRODUCT, false},
    {"no LocalRootFolder value: nothing to check", L"TRLV-1", Folder::NoValue, {}, ERROR_SUCCESS, false},
    {"usable folder", L"TRLV-1", Folder::Usable, {}, ERROR_SUCCESS, false},
    {"LocalRootFolder longer than a path: nothing to check", L"TRLV-1", Folder::TooLongForTheBuffer, {},
     ERROR_SUCCESS, false},
    {"missing folder: files restored, then user data rewritten as it still does not open", L"TRLV-1",
     Folder::Missing, {kMissingFiles, kUserRegistry}, ERROR_UNKNOWN_PRODUCT, true},
    {"folder that does not open for writing: user data rewritten without a file repair", L"TRLV-1",
     Folder::HeldWithoutWriteSharing, {kUserRegistry}, ERROR_UNKNOWN_PRODUCT, true},
    {"KPM before the last hyphen: no folder checks", L"TRLV-KPM-1", Folder::Missing, {}, ERROR_SUCCESS, false},
    {"lower-case kpm is another name", L"TRLV-kpm-1", Folder::Missing, {kMissingFiles, kUserRegistry},
     ERROR_UNKNOWN_PRODUCT, true},
    {"KPM before an earlier hyphen only", L"TRLV-KPM-1-2", Folder::Missing, {kMissingFiles, kUserRegistry},
     ERROR_UNKNOWN_PRODUCT, true},
    {"KPM without a hyphen after it", L"TRLVKPM", Folder::Missing, {kMissingFiles, kUserRegistry},
     ERROR_UNKNOWN_PRODUCT, true},
};

TEST(ReconfigurationPass, EachProductStateGetsItsRepair) {
    for (const auto& c : kProductCases) {
        SCOPED_TRACE(c.name);
        TestFolder folder;
        std::unique_ptr<LeafKey> userKey;
        std::wstring userKeyPath = TestKey::UniquePath();
        if (c.userKeyLeaf != nullptr) {
            userKey = std::make_unique<LeafKey>(HKEY_CURRENT_USER, c.userKeyLeaf);
            userKeyPath = userKey->path();
            if (c.folder == Folder::TooLongForTheBuffer)
                userKey->key().setString(L"LocalRootFolder", L"C:\\" + std::wstring(MAX_PATH, L'f'));
            else if (c.folder != Folder::NoValue)
                userKey->key().setString(L"LocalRootFolder", folder.path());
        }
        if (c.folder == Folder::Usable || c.folder == Folder::HeldWithoutWriteSharing) folder.create();
        std::optional<ReadOnlySharingHandle> holder;
        if (c.folder == Folder::HeldWithoutWriteSharing) {
            ASSERT_TRUE(holder.emplace(folder.path()).valid());
        }

        ProductList products;
        products.add(kUnknownProduct, userKeyPath);
        RunRecorder recorder;
        EXPECT_EQ(c.expectedStatus, userdata::InstallUserDataUnder(products.root().c_str()));
        EXPECT_EQ(c.expectedRuns, recorder.properties());
        for (const auto& run : recorder.runs()) EXPECT_EQ(kUnknownProduct, run.product);
        if (c.userKeyLeaf != nullptr) {
            EXPECT_EQ(c.userKeyDeleted, !testing_support::KeyExists(HKEY_CURRENT_USER, userKeyPath));
        }
    }
}

TEST(ReconfigurationPass, MissingPerUserKeyMarksASecondaryInstallEvenWhenItsRunFails) {
    ProductList products;
    products.add(kUnknownProduct, TestKey::UniquePath());
    EXPECT_EQ(ERROR_UNKNOWN_PRODUCT, userdata::InstallUserDataUnder(products.root().c_str()));
    EXPECT_TRUE(userdata::s_secondaryInstall);
}

// --- The machine's COM registration ---------------------------------------

struct ComRepairCase {
    const char* name;
    const std::wstring& serverAtStart;
    bool firstUserKeyMissing;
    // What an Installer run does to the registration; empty: nothing.
    std::function<void(const Reconfiguration&)> onRun;
    std::vector<std::wstring> expectedRuns;
};

TEST(ComRepair, MachineRegistrationIsRewrittenWhileItStaysAbsolute) {
    const ComRepairCase cases[] = {
        {"relative registration needs no rewrite", kRelativeServer, false, nullptr, {}},
        {"absolute registration: rewritten for each product, its status not kept", kAbsoluteServer, false, nullptr,
         {kMachineRegistration, kMachineRegistration}},
        {"products after a rewrite that fixed it need none", kAbsoluteServer, false,
         [](const Reconfiguration& run) {
             if (run.properties == kMachineRegistration) RegisterRequiredServer(kRelativeServer);
         },
         {kMachineRegistration}},
        {"relative at the start: not asked again during the pass", kRelativeServer, true,
         [](const Reconfiguration&) { RegisterRequiredServer(kAbsoluteServer); }, {kLayDown}},
        {"a failed lay-down ends its product before the rewrite", kAbsoluteServer, true, nullptr,
         {kLayDown, kMachineRegistration}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RegisterRequiredServer(c.serverAtStart);
        // Per-user keys without a folder to check; the first may be missing.
        const LeafKey first(HKEY_CURRENT_USER, L"TRLV-1");
        const LeafKey second(HKEY_CURRENT_USER, L"TRLV-2");
        ProductList products;
        products.add(kUnknownProduct, c.firstUserKeyMissing ? TestKey::UniquePath() : first.path())
            .add(kOtherUnknownProduct, second.path());
        {
            RunRecorder recorder(c.onRun);
            EXPECT_EQ(ERROR_SUCCESS, userdata::InstallUserDataUnder(products.root().c_str()));
            EXPECT_EQ(c.expectedRuns, recorder.properties());
        }
        RegisterRequiredServer(kRelativeServer);
    }
}

// --- The fixture package, repaired by the real Installer --------------------

class FixtureProduct : public ::testing::Test {
protected:
    void SetUp() override {
        localRoot_ = ReadString(HKEY_CURRENT_USER, kFixtureUserKey, L"LocalRootFolder").value_or(L"");
        ASSERT_FALSE(localRoot_.empty()) << "the fixture package is not installed (ctest runs msi.install first)";
        ASSERT_TRUE(FolderExists(localRoot_)) << "the fixture's local root folder is missing";
        products_.add(kFixtureProductCode, kFixtureUserKey);
    }
    unsigned int install() { return userdata::InstallUserDataUnder(products_.root().c_str()); }
    static void MarkUserKey() { WriteString(HKEY_CURRENT_USER, kFixtureUserKey, kMarkerValue, L"1"); }
    static bool UserKeyKeptItsMarker() {
        return ReadString(HKEY_CURRENT_USER, kFixtureUserKey, kMarkerValue).has_value();
    }

    std::wstring localRoot_;
    ProductList products_;
};

TEST_F(FixtureProduct, HealthyProductNeedsNoRunAndTheProfileIsRecordedOnce) {
    RunRecorder recorder;
    EXPECT_EQ(ERROR_SUCCESS, install());
    EXPECT_EQ(ERROR_SUCCESS, install());
    EXPECT_THAT(recorder.runs(), IsEmpty());

    wchar_t profile[MAX_PATH] = {};
    ASSERT_NE(0u, GetEnvironmentVariableW(L"USERPROFILE", profile, MAX_PATH));
    std::wstring lowered = profile;
    for (auto& c : lowered) c = static_cast<wchar_t>(towlower(c));
    const auto& recorded = userdata::EnvironmentSubstitutions();
    ASSERT_EQ(1u, recorded.size());
    EXPECT_EQ(L"USERPROFILE", recorded[0].name);
    EXPECT_EQ(lowered, recorded[0].value);
}

TEST_F(FixtureProduct, MissingPerUserKeyIsLaidDownAsASecondaryInstall) {
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteTreeW(HKEY_CURRENT_USER, kFixtureUserKey));
    RunRecorder recorder;
    EXPECT_EQ(ERROR_SUCCESS, install());
    EXPECT_THAT(recorder.properties(), ElementsAre(kLayDown));
    EXPECT_THAT(recorder.products(), ElementsAre(kFixtureProductCode));
    EXPECT_EQ(L"1", ReadString(HKEY_CURRENT_USER, kFixtureUserKey, L"SecondaryInstall").value_or(L"<absent>"))
        << "TRLV_SECONDARY_INSTALL did not reach the package";
    EXPECT_TRUE(FolderExists(localRoot_));
    EXPECT_TRUE(userdata::s_secondaryInstall);
}

TEST_F(FixtureProduct, AfterALayDownTheProductGoesOnToTheFurtherChecks) {
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteTreeW(HKEY_CURRENT_USER, kFixtureUserKey));
    RegisterRequiredServer(kAbsoluteServer);
    RunRecorder recorder;
    const unsigned int status = install();
    RegisterRequiredServer(kRelativeServer);
    EXPECT_EQ(ERROR_SUCCESS, status);
    EXPECT_THAT(recorder.properties(), ElementsAre(kLayDown, kMachineRegistration));
}

TEST_F(FixtureProduct, MissingLocalFolderIsRestoredWithoutTouchingTheUserKey) {
    MarkUserKey();
    ASSERT_TRUE(RemoveDirectoryW(localRoot_.c_str()));
    RunRecorder recorder;
    EXPECT_EQ(ERROR_SUCCESS, install());
    EXPECT_THAT(recorder.properties(), ElementsAre(kMissingFiles));
    EXPECT_TRUE(FolderExists(localRoot_));
    EXPECT_TRUE(UserKeyKeptItsMarker());
}

TEST_F(FixtureProduct, FolderThatCannotBeWrittenGetsItsUserKeyRewritten) {
    MarkUserKey();
    RunRecorder recorder;
    {
        ReadOnlySharingHandle holder(localRoot_);
        ASSERT_TRUE(holder.valid());
        EXPECT_EQ(ERROR_SUCCESS, install());
    }
    EXPECT_THAT(recorder.properties(), ElementsAre(kUserRegistry));
    EXPECT_TRUE(testing_support::KeyExists(HKEY_CURRENT_USER, kFixtureUserKey));
    EXPECT_FALSE(UserKeyKeptItsMarker()) << "the per-user key was not deleted before the rewrite";
}

TEST(FixtureProducts, OnlyTheLastProductsStatusIsReported) {
    static_assert(kUnknownProduct[1] < kFixtureProductCode[1] && kFixtureProductCode[1] < kOtherUnknownProduct[1]);
    struct Case {
        const char* name;
        const wchar_t* failing;  // listed before the fixture when it sorts before it
        unsigned int expected;
    };
    const Case cases[] = {
        {"failing product first", kUnknownProduct, ERROR_SUCCESS},
        {"failing product last", kOtherUnknownProduct, ERROR_UNKNOWN_PRODUCT},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const bool failingFirst = c.failing == kUnknownProduct;
        const std::wstring missingUserKey = TestKey::UniquePath();
        ProductList products;
        if (failingFirst) products.add(c.failing, missingUserKey);
        products.add(kFixtureProductCode, kFixtureUserKey);
        if (!failingFirst) products.add(c.failing, missingUserKey);
        RunRecorder recorder;
        EXPECT_EQ(c.expected, userdata::InstallUserDataUnder(products.root().c_str()));
        EXPECT_THAT(recorder.products(), ElementsAre(c.failing));
    }
}

// --- The Installer's binding -----------------------------------------------

TEST(InstallerBinding, ModulesWithoutTheInstallerAreReportedNotCalled) {
    const auto missing = userdata::BindInstallerFunctions(L"UserDataNoSuchModule.dll");
    EXPECT_EQ(static_cast<UINT>(ERROR_MOD_NOT_FOUND), missing.status);
    EXPECT_EQ(nullptr, missing.configureProductEx);

    const auto wrongModule = userdata::BindInstallerFunctions(L"kernel32.dll");
    EXPECT_EQ(static_cast<UINT>(ERROR_PROC_NOT_FOUND), wrongModule.status);
    EXPECT_EQ(nullptr, wrongModule.setInternalUI);
    EXPECT_EQ(nullptr, wrongModule.configureProductEx);

    const auto installer = userdata::BindInstallerFunctions(L"msi.dll");
    EXPECT_EQ(static_cast<UINT>(ERROR_SUCCESS), installer.status);
    EXPECT_NE(nullptr, installer.setInternalUI);
    EXPECT_NE(nullptr, installer.configureProductEx);
}

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
    ASSERT_EQ(0u, InitProduct({{"productCultureSpecificRootName", Narrow(products.root())},
                               {"currentProduct", "NDOC"}}));
    EXPECT_FALSE(tvudIsSecondaryInstall());
    EXPECT_TRUE(tvudIsNimbraDoc());
    EXPECT_TRUE(CheckCOMServerRelativePaths());
    wchar_t root[512];
    EXPECT_NE(0u, tvudGetMachineProductRegistryRootKey(root, 512));
    EXPECT_FALSE(InstallerLoaded()) << "loading the library or asking it questions bound the Installer";

    EXPECT_EQ(ERROR_SUCCESS, InstallUserData());
    EXPECT_FALSE(tvudIsSecondaryInstall()) << "every per-user key was present";
    EXPECT_FALSE(InstallerLoaded()) << "a pass without repairs bound the Installer";

    // Listed after the fixture, so its failure is the pass's result.
    const std::wstring missingUserKey = TestKey::UniquePath();
    products.add(kOtherUnknownProduct, missingUserKey);
    EXPECT_EQ(ERROR_UNKNOWN_PRODUCT, InstallUserData());
    EXPECT_TRUE(tvudIsSecondaryInstall()) << "set although the reconfiguration failed";
    EXPECT_TRUE(InstallerLoaded());

    ProductList healthy;
    healthy.add(kFixtureProductCode, kFixtureUserKey);
    ASSERT_EQ(0u, InitProduct({{"productCultureSpecificRootName", Narrow(healthy.root())}}));
    EXPECT_EQ(ERROR_SUCCESS, InstallUserData());
    EXPECT_TRUE(tvudIsSecondaryInstall()) << "the flag never goes back";
    FreeLibrary(library);
}

TEST(FreshProcessExports, RootsThatCannotNameTheKeyAreRefusedAsSuch) {
    struct Case {
        const char* name;
        std::string root;
        unsigned int expected;
    };
    const Case cases[] = {
        {"no machine root", "", ERROR_FILE_NOT_FOUND},
        {"503 characters", std::string(503, 'r'), ERROR_FILENAME_EXCED_RANGE},
        // Longer than the 512-character buffer the root is usually read into.
        {"600 characters", std::string(600, 'r'), ERROR_FILENAME_EXCED_RANGE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(0u, InitProduct({{"productCultureSpecificRootName", c.root}}));
        EXPECT_EQ(c.expected, InstallUserData());
    }
}

TEST(FreshProcessExports, NimbraDocIsNdocInAnyLetterCase) {
    const struct {
        const char* product;
        bool expected;
    } cases[] = {
        {"NDOC", true}, {"ndoc", true}, {"nDoC", true}, {"NDO", false},
        {"NDOCX", false}, {"", false}, {"NDOC ", false}, {"TRLV", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.product);
        ASSERT_EQ(0u, InitProduct({{"currentProduct", c.product}}));
        EXPECT_EQ(c.expected, tvudIsNimbraDoc());
    }
}

TEST(FreshProcessEnvironment, ProfileIsTriedOnceAfterASuccessThenEntriesStayLongestFirst) {
    ASSERT_THAT(userdata::EnvironmentSubstitutions(), IsEmpty());
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, userdata::InstallUserDataUnder(TestKey::UniquePath().c_str()));
    EXPECT_FALSE(userdata::s_environmentRecorded) << "a call that failed recorded the environment";
    EXPECT_THAT(userdata::EnvironmentSubstitutions(), IsEmpty());

    ProductList products;  // no products: a pass that succeeds without the Installer
    wchar_t profile[MAX_PATH] = {};
    ASSERT_NE(0u, GetEnvironmentVariableW(L"USERPROFILE", profile, MAX_PATH));
    ASSERT_TRUE(SetEnvironmentVariableW(L"USERPROFILE", nullptr));
    EXPECT_EQ(ERROR_SUCCESS, userdata::InstallUserDataUnder(products.root().c_str()));
    ASSERT_TRUE(SetEnvironmentVariableW(L"USERPROFILE", profile));
    EXPECT_TRUE(userdata::s_environmentRecorded);
    EXPECT_EQ(ERROR_SUCCESS, userdata::InstallUserDataUnder(products.root().c_str()));
    EXPECT_THAT(userdata::EnvironmentSubstitutions(), IsEmpty()) << "an unset profile is not tried again";

    ASSERT_TRUE(SetEnvironmentVariableW(L"UD_TEST_SHORT", L"Ab"));
    ASSERT_TRUE(SetEnvironmentVariableW(L"UD_TEST_LONG", L"C:\\Users\\Ann Example\\Data"));
    ASSERT_TRUE(SetEnvironmentVariableW(L"UD_TEST_EMPTY", L""));
    SetEnvironmentVariableW(L"UD_TEST_UNSET", nullptr);
    for (const wchar_t* name : {L"UD_TEST_SHORT", L"UD_TEST_UNSET", L"UD_TEST_LONG", L"UD_TEST_EMPTY"})
        userdata::RecordEnvironmentVariable(name);

    std::vector<std::wstring> recorded;
    for (const auto& entry : userdata::EnvironmentSubstitutions()) recorded.push_back(entry.name + L"=" + entry.value);
    EXPECT_THAT(recorded, ElementsAre(L"UD_TEST_LONG=c:\\users\\ann example\\data", L"UD_TEST_SHORT=ab",
                                      L"UD_TEST_EMPTY="));
}

}  // namespace
