// The registry string writer: the type it keeps or chooses, and the
// environment references it puts in place of the recorded profile folder.
// The suites run in file order: the first needs a process in which nothing
// was recorded yet, the second records USERPROFILE through InstallUserData.
#include <gtest/gtest.h>

#include <optional>

#include <UserData.h>
#include <registry/EnvironmentReferences.h>

#include "support/ProductConfig.h"
#include "support/TestKey.h"

using testing_support::TestKey;

namespace {

// Checks type and data byte for byte, with exactly one NUL.
void ExpectStored(const TestKey& key, const wchar_t* name, DWORD type, const std::wstring& text) {
    DWORD storedType = REG_NONE, size = 0;
    RegQueryValueExW(key.handle(), name, nullptr, &storedType, nullptr, &size);
    std::vector<std::uint8_t> bytes(size);
    RegQueryValueExW(key.handle(), name, nullptr, &storedType, bytes.data(), &size);
    EXPECT_EQ(type, storedType);
    EXPECT_EQ(testing_support::Utf16Bytes(text + L'\0'), bytes);
}

// In order, into one key: `was` gives the value a type before the write.
struct Write { const wchar_t* name; std::optional<DWORD> was; const wchar_t* text; DWORD type; std::wstring stored; };
void ExpectWrites(const std::vector<Write>& writes) {
    TestKey key(HKEY_CURRENT_USER);
    for (const Write& w : writes) {
        if (w.was) key.setRaw(w.name, *w.was, {1, 0, 0, 0});
        EXPECT_EQ(0u, tvudRegSetString(key.handle(), w.name, w.text));
        ExpectStored(key, w.name, w.type, w.stored);
    }
}

TEST(RegSetStringWithNothingRecorded, KeepsTextAndTypeAsTheyAre) {
    ExpectWrites({
        {L"New", {}, L"C:\\Users\\Someone\\Templates", REG_SZ, L"C:\\Users\\Someone\\Templates"},
        {L"Expand", REG_EXPAND_SZ, L"%APPDATA%\\New", REG_EXPAND_SZ, L"%APPDATA%\\New"},
        {L"Number", REG_DWORD, L"Text", REG_DWORD, L"Text"},
        {L"Empty", {}, L"", REG_SZ, L""},
        {nullptr, {}, L"default", REG_SZ, L"default"},
    });
}

TEST(RegSetStringWithNothingRecorded, WriteOnlyHandleKeepsTheTypeAndStatusesAreReported) {
    TestKey key(HKEY_CURRENT_USER);
    key.setString(L"Expand", L"%TEMP%", REG_EXPAND_SZ);
    HKEY writeOnly = nullptr, readOnly = nullptr;
    ASSERT_EQ(0, RegOpenKeyExW(HKEY_CURRENT_USER, key.path().c_str(), 0, KEY_SET_VALUE, &writeOnly));
    ASSERT_EQ(ERROR_ACCESS_DENIED, RegQueryValueExW(writeOnly, L"Expand", nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(0u, tvudRegSetString(writeOnly, L"Expand", L"%TMP%\\x"));
    RegCloseKey(writeOnly);
    ExpectStored(key, L"Expand", REG_EXPAND_SZ, L"%TMP%\\x");

    ASSERT_EQ(0, RegOpenKeyExW(HKEY_CURRENT_USER, key.path().c_str(), 0, KEY_QUERY_VALUE, &readOnly));
    EXPECT_EQ(static_cast<unsigned>(ERROR_ACCESS_DENIED), tvudRegSetString(readOnly, L"V", L"x"));
    RegCloseKey(readOnly);
    EXPECT_EQ(static_cast<unsigned>(ERROR_INVALID_PARAMETER), tvudRegSetString(key.handle(), L"V", nullptr));
}

TEST(RegSetStringWithProfileRecorded, ProfileFolderBecomesAReference) {
    // A product whose UserData key lists nothing: the pass succeeds without
    // any Installer run and records USERPROFILE.
    TestKey machine(HKEY_LOCAL_MACHINE);
    machine.createChild(L"UserData");
    ASSERT_EQ(0u, testing_support::InitProduct(
                      {{"productCultureSpecificRootName", std::string(machine.path().begin(), machine.path().end())}}));
    SetEnvironmentVariableW(L"USERPROFILE", L"C:\\Users\\someone");
    ASSERT_EQ(0u, InstallUserData());

    // Other text is written unchanged with the kept type; a reference makes
    // the value REG_EXPAND_SZ whatever it was, and the text lower case.
    ExpectWrites({
        {L"V", REG_DWORD, L"D:\\Data\\Templates", REG_DWORD, L"D:\\Data\\Templates"},
        {L"New", {}, L"D:\\Data", REG_SZ, L"D:\\Data"},
        // 23 characters and the NUL: 48 bytes.
        {L"V", {}, L"C:\\USERS\\Someone\\Templates", REG_EXPAND_SZ, L"%USERPROFILE%\\templates"},
        {L"V", {}, L"c:\\users\\someone;C:\\Users\\SOMEONE\\x", REG_EXPAND_SZ, L"%USERPROFILE%;%USERPROFILE%\\x"},
        {L"V", {}, L"c:\\users\\someone2\\x", REG_EXPAND_SZ, L"%USERPROFILE%2\\x"},
        {L"V", {}, L"Before C:\\Users\\Someone\\MixedCase", REG_EXPAND_SZ, L"before %USERPROFILE%\\mixedcase"},
    });
}

TEST(SubstituteEnvironmentVariables, TableOrderNoOverlapNoBoundary) {
    const std::vector<userdata::EnvironmentSubstitution> table = {
        {L"LONG", L"c:\\users\\someone\\appdata"}, {L"USERPROFILE", L"c:\\users\\someone"}, {L"EMPTY", L""}};
    const struct { std::wstring text, expected; int count; } cases[] = {
        {L"C:\\Users\\Someone\\AppData\\x", L"%LONG%\\x", 1},
        {L"c:\\users\\someonec:\\users\\someone", L"%USERPROFILE%%USERPROFILE%", 2},
        {L"D:\\Elsewhere", L"d:\\elsewhere", 0},
    };
    for (const auto& c : cases) {
        std::wstring text = c.text;
        EXPECT_EQ(c.count, userdata::SubstituteEnvironmentVariables(text, table));
        EXPECT_EQ(c.expected, text);
    }
}

}  // namespace
