// The registry string writer: the type it keeps or chooses, and the
// %USERPROFILE% reference it puts in place of the profile folder that
// InstallUserData recorded. (Before any recording, a fresh process: see
// install_test.cpp.)
#include "support/TestSupport.h"

// Checks type and data byte for byte, with exactly one NUL.
static void ExpectStored(const TestKey& key, const wchar_t* name, DWORD type, const std::wstring& text) {
    DWORD storedType = REG_NONE, size = 0;
    RegQueryValueExW(key.handle(), name, nullptr, &storedType, nullptr, &size);
    std::vector<std::uint8_t> bytes(size);
    RegQueryValueExW(key.handle(), name, nullptr, &storedType, bytes.data(), &size);
    EXPECT_EQ(type, storedType);
    EXPECT_EQ(Utf16Bytes(text + L'\0'), bytes);
}

// The profile folder C:\Users\someone, recorded by a pass over a product list
// with nothing in it: one that succeeds without an Installer run. Only the
// first successful pass of a process records, so every test here records
// the same folder.
static void RecordProfile() {
    const TestKey list(HKEY_LOCAL_MACHINE, TestKey::UniquePath() + L"\\UserData");
    const std::wstring root = list.path().substr(0, list.path().rfind(L'\\'));
    ASSERT_EQ(0u, InitProduct({{"productCultureSpecificRootName", WideToUtf8(root)}}));
    SetEnvironmentVariableW(L"USERPROFILE", L"C:\\Users\\someone");
    ASSERT_EQ(0u, InstallUserData());
}

TEST(RegSetString, KeepsTheTypeUnlessTheProfileFolderBecomesAReference) {
    RecordProfile();
    // In order, into one key: `was` gives the value a type before the write.
    const struct { const wchar_t* name; std::optional<DWORD> was; const wchar_t* text; DWORD type; std::wstring kept; }
        writes[] = {
            {L"New", {}, L"D:\\Data\\Templates", REG_SZ, L"D:\\Data\\Templates"},
            {L"Expand", REG_EXPAND_SZ, L"%APPDATA%\\New", REG_EXPAND_SZ, L"%APPDATA%\\New"},
            {L"Number", REG_DWORD, L"Text", REG_DWORD, L"Text"},
            {L"Empty", {}, L"", REG_SZ, L""},
            {nullptr, {}, L"default", REG_SZ, L"default"},
            // A reference makes the value REG_EXPAND_SZ whatever it was, and the text lower case.
            {L"V", REG_DWORD, L"C:\\USERS\\Someone\\Templates", REG_EXPAND_SZ, L"%USERPROFILE%\\templates"},
            {L"V", {}, L"c:\\users\\someone;C:\\Users\\SOMEONE\\x", REG_EXPAND_SZ, L"%USERPROFILE%;%USERPROFILE%\\x"},
            {L"V", {}, L"c:\\users\\someone2\\x", REG_EXPAND_SZ, L"%USERPROFILE%2\\x"},
            {L"V", {}, L"Before C:\\Users\\Someone\\MixedCase", REG_EXPAND_SZ, L"before %USERPROFILE%\\mixedcase"},
        };
    TestKey key(HKEY_CURRENT_USER);
    for (const auto& w : writes) {
        if (w.was) key.setRaw(w.name, *w.was, {1, 0, 0, 0});
        EXPECT_EQ(0u, tvudRegSetString(key.handle(), w.name, w.text));
        ExpectStored(key, w.name, w.type, w.kept);
    }
}

TEST(RegSetString, WriteOnlyHandleKeepsTheTypeAndStatusesAreReported) {
    TestKey key(HKEY_CURRENT_USER);
    key.setString(L"Expand", L"%TEMP%", REG_EXPAND_SZ);
    userdata::UniqueHkey writeOnly, readOnly;
    ASSERT_EQ(0, RegOpenKeyExW(HKEY_CURRENT_USER, key.path().c_str(), 0, KEY_SET_VALUE, writeOnly.put()));
    ASSERT_EQ(ERROR_ACCESS_DENIED, RegQueryValueExW(writeOnly.get(), L"Expand", nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(0u, tvudRegSetString(writeOnly.get(), L"Expand", L"%TMP%\\x"));
    ExpectStored(key, L"Expand", REG_EXPAND_SZ, L"%TMP%\\x");

    ASSERT_EQ(0, RegOpenKeyExW(HKEY_CURRENT_USER, key.path().c_str(), 0, KEY_QUERY_VALUE, readOnly.put()));
    EXPECT_EQ(unsigned(ERROR_ACCESS_DENIED), tvudRegSetString(readOnly.get(), L"V", L"x"));
    EXPECT_EQ(unsigned(ERROR_INVALID_PARAMETER), tvudRegSetString(key.handle(), L"V", nullptr));
}
