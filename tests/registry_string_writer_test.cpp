// The registry string writer: the type it keeps or chooses, and the
// %USERPROFILE% reference it puts in place of the profile folder that
// InstallUserData recorded. (Before any recording, a fresh process: see
// install_test.cpp.)
#include "support/TestSupport.h"

// Checks type and data byte for byte, with exactly one NUL.
static void ExpectStored(const TestKey& key, const wchar_t* name, DWORD type, const std::wstring& text) {
    DWORD storedType = REG_NONE, size = 256;
    std::uint8_t bytes[256] = {};
    RegQueryValueExW(key.handle(), name, nullptr, &storedType, bytes, &size);
    CHECK(type == storedType);
    CHECK(Utf16Bytes(text + L'\0') == std::vector<std::uint8_t>(bytes, bytes + size));
}

TEST_CASE("RegSetString.KeepsTheTypeUnlessTheProfileFolderBecomesAReference") {
    // A profile folder outside ASCII (a letter beyond the BMP among them),
    // recorded by a pass over a product list with nothing in it: one that
    // succeeds without an Installer run.
    const TestKey list(HKEY_LOCAL_MACHINE, TestKey::UniquePath() + L"\\UserData");
    const std::wstring root = list.path().substr(0, list.path().rfind(L'\\'));
    REQUIRE(0u == InitProduct({{"productCultureSpecificRootName", WideToUtf8(root)}}));
    const std::wstring zoe = L"Zo\u00e9 Stra\u00dfe \u5c71\U0001D11E";
    const std::wstring upperZoe = L"ZO\u00e9 STRA\u00dfE \u5c71\U0001D11E";
    SetEnvironmentVariableW(L"USERPROFILE", (L"C:\\Users\\" + zoe).c_str());
    REQUIRE(0u == InstallUserData());
    // In order, into one key: `was` gives the value a type before the write.
    const struct { const wchar_t* name; std::optional<DWORD> was; std::wstring text; DWORD type; std::wstring kept; }
        writes[] = {
            {L"New", {}, L"D:\\Data\\Templates", REG_SZ, L"D:\\Data\\Templates"},
            {L"Expand", REG_EXPAND_SZ, L"%APPDATA%\\New", REG_EXPAND_SZ, L"%APPDATA%\\New"},
            {L"Number", REG_DWORD, L"Text", REG_DWORD, L"Text"},
            {L"Empty", {}, L"", REG_SZ, L""},
            {nullptr, {}, L"default", REG_SZ, L"default"},
            // A reference makes the value REG_EXPAND_SZ whatever it was, and the text lower case:
            // A to Z only, so an upper-case letter outside ASCII still tells two folders apart.
            {L"V", REG_DWORD, L"C:\\USERS\\" + upperZoe + L"\\T", REG_EXPAND_SZ, L"%USERPROFILE%\\t"},
            {L"V", {}, L"c:\\users\\" + zoe + L";C:\\Users\\" + upperZoe + L"\\x", REG_EXPAND_SZ,
             L"%USERPROFILE%;%USERPROFILE%\\x"},
            {L"V", {}, L"c:\\users\\" + zoe + L"2\\x", REG_EXPAND_SZ, L"%USERPROFILE%2\\x"},
            {L"V", {}, L"Before C:\\Users\\" + zoe + L"\\MixedCase", REG_EXPAND_SZ, L"before %USERPROFILE%\\mixedcase"},
            {L"V", {}, L"C:\\Users\\Zo\u00c9" + zoe.substr(3), REG_EXPAND_SZ, L"C:\\Users\\Zo\u00c9" + zoe.substr(3)},
        };
    TestKey key(HKEY_CURRENT_USER);
    for (const auto& w : writes) {
        if (w.was) key.setRaw(w.name, *w.was, {1, 0, 0, 0});
        CHECK(0u == tvudRegSetString(key.handle(), w.name, w.text.c_str()));
        ExpectStored(key, w.name, w.type, w.kept);
    }
}

TEST_CASE("RegSetString.WriteOnlyHandleKeepsTheTypeAndStatusesAreReported") {
    TestKey key(HKEY_CURRENT_USER);
    key.setString(L"Expand", L"%TEMP%", REG_EXPAND_SZ);
    userdata::UniqueHkey writeOnly, readOnly;
    REQUIRE(0 == RegOpenKeyExW(HKEY_CURRENT_USER, key.path().c_str(), 0, KEY_SET_VALUE, writeOnly.put()));
    REQUIRE(ERROR_ACCESS_DENIED == RegQueryValueExW(writeOnly.get(), L"Expand", nullptr, nullptr, nullptr, nullptr));
    CHECK(0u == tvudRegSetString(writeOnly.get(), L"Expand", L"%TMP%\\x"));
    ExpectStored(key, L"Expand", REG_EXPAND_SZ, L"%TMP%\\x");

    REQUIRE(0 == RegOpenKeyExW(HKEY_CURRENT_USER, key.path().c_str(), 0, KEY_QUERY_VALUE, readOnly.put()));
    CHECK(unsigned(ERROR_ACCESS_DENIED) == tvudRegSetString(readOnly.get(), L"V", L"x"));
}
