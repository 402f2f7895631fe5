// The registry string writer: the type it keeps or chooses, and the
// environment references it puts in place of the recorded profile folder.
// The suites run in file order: the first needs a process in which nothing
// was recorded yet, the second records USERPROFILE through InstallUserData.
#include <gtest/gtest.h>

#include <UserData.h>
#include <registry/EnvironmentReferences.h>

#include "support/ProductConfig.h"
#include "support/TestKey.h"

using testing_support::TestKey;
using testing_support::Utf16Bytes;

namespace {

struct StoredValue {
    DWORD type = REG_NONE;
    std::vector<std::uint8_t> bytes;
};

StoredValue Read(const TestKey& key, const wchar_t* name) {
    StoredValue value;
    DWORD size = 0;
    RegQueryValueExW(key.handle(), name, nullptr, &value.type, nullptr, &size);
    value.bytes.resize(size);
    RegQueryValueExW(key.handle(), name, nullptr, &value.type, value.bytes.data(), &size);
    return value;
}

void ExpectStored(const TestKey& key, const wchar_t* name, DWORD type, const std::wstring& text) {
    const StoredValue stored = Read(key, name);
    EXPECT_EQ(type, stored.type);
    EXPECT_EQ(Utf16Bytes(text + L'\0'), stored.bytes);  // byte for byte, one NUL
}

TEST(RegSetStringWithNothingRecorded, KeepsTextAndTypeAsTheyAre) {
    TestKey key(HKEY_CURRENT_USER);
    key.setString(L"Expand", L"%TEMP%\\old", REG_EXPAND_SZ);
    key.setRaw(L"Number", REG_DWORD, {1, 0, 0, 0});

    EXPECT_EQ(0u, tvudRegSetString(key.handle(), L"New", L"C:\\Users\\Someone\\Templates"));
    ExpectStored(key, L"New", REG_SZ, L"C:\\Users\\Someone\\Templates");
    EXPECT_EQ(0u, tvudRegSetString(key.handle(), L"Expand", L"%APPDATA%\\New"));
    ExpectStored(key, L"Expand", REG_EXPAND_SZ, L"%APPDATA%\\New");
    EXPECT_EQ(0u, tvudRegSetString(key.handle(), L"Number", L"Text"));
    ExpectStored(key, L"Number", REG_DWORD, L"Text");
    EXPECT_EQ(0u, tvudRegSetString(key.handle(), L"Empty", L""));
    ExpectStored(key, L"Empty", REG_SZ, L"");
    EXPECT_EQ(0u, tvudRegSetString(key.handle(), nullptr, L"default"));
    ExpectStored(key, nullptr, REG_SZ, L"default");
}

TEST(RegSetStringWithNothingRecorded, WriteOnlyHandleStillKeepsThePresentType) {
    TestKey key(HKEY_CURRENT_USER);
    key.setString(L"Expand", L"%TEMP%", REG_EXPAND_SZ);
    HKEY writeOnly = nullptr;
    ASSERT_EQ(0, RegOpenKeyExW(HKEY_CURRENT_USER, key.path().c_str(), 0, KEY_SET_VALUE, &writeOnly));
    DWORD type = 0;
    ASSERT_EQ(ERROR_ACCESS_DENIED, RegQueryValueExW(writeOnly, L"Expand", nullptr, &type, nullptr, nullptr));
    EXPECT_EQ(0u, tvudRegSetString(writeOnly, L"Expand", L"%TMP%\\x"));
    RegCloseKey(writeOnly);
    ExpectStored(key, L"Expand", REG_EXPAND_SZ, L"%TMP%\\x");
}

TEST(RegSetStringWithNothingRecorded, ReportsTheWriteStatus) {
    TestKey key(HKEY_CURRENT_USER);
    HKEY readOnly = nullptr;
    ASSERT_EQ(0, RegOpenKeyExW(HKEY_CURRENT_USER, key.path().c_str(), 0, KEY_QUERY_VALUE, &readOnly));
    EXPECT_EQ(static_cast<unsigned>(ERROR_ACCESS_DENIED), tvudRegSetString(readOnly, L"V", L"x"));
    RegCloseKey(readOnly);
    EXPECT_EQ(static_cast<unsigned>(ERROR_INVALID_PARAMETER), tvudRegSetString(key.handle(), L"V", nullptr));
}

class RegSetStringWithProfileRecorded : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // A product whose UserData key lists nothing: the pass succeeds
        // without any Installer run and records USERPROFILE.
        machine_ = new TestKey(HKEY_LOCAL_MACHINE);
        machine_->createChild(L"UserData");
        const std::wstring root = machine_->path();
        ASSERT_EQ(0u, testing_support::InitProduct({{"productCultureSpecificRootName", std::string(root.begin(), root.end())}}));
        SetEnvironmentVariableW(L"USERPROFILE", L"C:\\Users\\someone");
        ASSERT_EQ(0u, InstallUserData());
    }
    static void TearDownTestSuite() { delete machine_; }
    static TestKey* machine_;
};
TestKey* RegSetStringWithProfileRecorded::machine_ = nullptr;

TEST_F(RegSetStringWithProfileRecorded, ProfileFolderBecomesAReference) {
    struct {
        const wchar_t* text;
        std::wstring stored;
    } cases[] = {
        {L"C:\\USERS\\Someone\\Templates", L"%USERPROFILE%\\templates"},
        {L"c:\\users\\someone;C:\\Users\\SOMEONE\\x", L"%USERPROFILE%;%USERPROFILE%\\x"},
        {L"c:\\users\\someone2\\x", L"%USERPROFILE%2\\x"},
        {L"Before C:\\Users\\Someone\\MixedCase", L"before %USERPROFILE%\\mixedcase"},
    };
    TestKey key(HKEY_CURRENT_USER);
    key.setRaw(L"V", REG_DWORD, {1, 0, 0, 0});  // a reference makes it REG_EXPAND_SZ whatever it was
    for (const auto& c : cases) {
        EXPECT_EQ(0u, tvudRegSetString(key.handle(), L"V", c.text));
        ExpectStored(key, L"V", REG_EXPAND_SZ, c.stored);
    }
    // 23 characters and the NUL.
    EXPECT_EQ(0u, tvudRegSetString(key.handle(), L"V", L"C:\\USERS\\Someone\\Templates"));
    EXPECT_EQ(48u, Read(key, L"V").bytes.size());
}

TEST_F(RegSetStringWithProfileRecorded, OtherTextIsWrittenUnchangedWithTheKeptType) {
    TestKey key(HKEY_CURRENT_USER);
    key.setRaw(L"Number", REG_DWORD, {1, 0, 0, 0});
    EXPECT_EQ(0u, tvudRegSetString(key.handle(), L"Number", L"D:\\Data\\Templates"));
    ExpectStored(key, L"Number", REG_DWORD, L"D:\\Data\\Templates");
    EXPECT_EQ(0u, tvudRegSetString(key.handle(), L"New", L"D:\\Data"));
    ExpectStored(key, L"New", REG_SZ, L"D:\\Data");
}

TEST(SubstituteEnvironmentVariables, TableOrderNoOverlapNoBoundary) {
    const std::vector<userdata::EnvironmentSubstitution> table = {
        {L"LONG", L"c:\\users\\someone\\appdata"}, {L"USERPROFILE", L"c:\\users\\someone"}, {L"EMPTY", L""}};
    struct {
        std::wstring text;
        std::wstring expected;
        int count;
    } cases[] = {
        {L"C:\\Users\\Someone\\AppData\\x", L"%LONG%\\x", 1},
        {L"C:\\Users\\Someone\\Documents", L"%USERPROFILE%\\documents", 1},
        {L"c:\\users\\someonec:\\users\\someone", L"%USERPROFILE%%USERPROFILE%", 2},
        {L"D:\\Elsewhere", L"d:\\elsewhere", 0},
        {L"", L"", 0},
    };
    for (auto& c : cases) {
        std::wstring text = c.text;
        EXPECT_EQ(c.count, userdata::SubstituteEnvironmentVariables(text, table));
        EXPECT_EQ(c.expected, text);
    }
}

}  // namespace
