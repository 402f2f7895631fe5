// Program and product names cut out of the machine product root key path,
// and the vertical product name read from the key it names.
#include "support/TestSupport.h"

TEST_CASE("Names.CutBySeparatorsOnly") {
    // The result is the length; a failure gives 0 and leaves the buffer.
    const struct { std::wstring root; Filled program, product; } cases[] = {
        {L"Software\\Veltrane\\Trelvix\\R27.0\\TRLV-7001:409", {4, L"TRLV"}, {7, L"Trelvix"}},
        {L"P\\Q-X\\R", {1, L"Q"}, {}},          // hyphen in an earlier component moves the cut
        {L"A\\B\\C\\D", {}, {1, L"B"}},         // no hyphen
        {L"NoSlash-1", {}, {}},                 // hyphen but no backslash before it
        {L"A\\B\\C\\-T", {0, L""}, {1, L"B"}},  // an empty name is copied, yet gives 0
        {L"S\\P\u00e4\\R\\\u8a9e-1", {1, L"\u8a9e"}, {2, L"P\u00e4"}},
        {L"S\\P\\R\\A-B-C", {3, L"A-B"}, {1, L"P"}},  // the program name ends at the last hyphen
        {L"S\\Q/P\\R\\T/U-1", {3, L"T/U"}, {3, L"Q/P"}},  // "/" cuts nothing
        {L"S\\P\\R\\" + std::wstring(2040, L'x') + L"-1", {}, {}},  // 2048 characters or more give no names at all
    };
    for (const auto& c : cases) {
        INFO(c.root.substr(0, 64));
        // A platform separator other than the backslash, which alone cuts these names.
        REQUIRE(0u == InitProduct({{"productCultureSpecificRootName", WideToUtf8(c.root)}, {"pathSeparator", "/"}}));
        CHECK(c.program == Fill(GetProgramName, 4096));
        CHECK(c.product == Fill(GetProductName, 4096));
    }
}

// The result is the value's size in bytes, NUL included (12 for "Civil").
TEST_CASE("VerticalProductName.ReadFromTheMachineKeyOrAMissingOnesUserKey") {
    const std::wstring base = TestKey::UniquePath() + L"\\";
    // An empty value text: no such value.
    const struct { const char* name; std::wstring root; bool machineKey; std::wstring machine, user; DWORD type;
                   Filled expected; } cases[] = {
        {"machine value", base + L"a", true, L"Civil", L"Plant", REG_SZ, {12, L"Civil"}},
        {"missing machine key: the user's", base + L"b", false, L"", L"Plant", REG_SZ, {12, L"Plant"}},
        {"machine key without the value: no fallback", base + L"c", true, L"", L"Plant", REG_SZ, {}},
        {"no key at all", base + L"d", false, L"", L"", REG_SZ, {}},
        {"no root", L"", false, L"", L"", REG_SZ, {}},
        {"root of 260 characters", base + std::wstring(260 - base.size(), L'k'), true, L"Civil", L"", REG_SZ, {}},
        // Expanded past the 4096-byte work buffer: refused, not written past it.
        {"expansion of 3000 characters", base + L"e", true, std::wstring(3000, L'a'), L"", REG_EXPAND_SZ, {}},
    };
    for (const auto& c : cases) {
        INFO(c.name);
        std::optional<TestKey> machine, user;
        if (c.machineKey) machine.emplace(HKEY_LOCAL_MACHINE, c.root);
        if (!c.machine.empty()) machine->setString(L"ProductName", c.machine, c.type);
        if (!c.user.empty()) user.emplace(HKEY_CURRENT_USER, c.root).setString(L"ProductName", c.user);
        REQUIRE(0u == InitProduct({{"productCultureSpecificRootName", WideToUtf8(c.root)}}));
        CHECK(c.expected == Fill(GetVerticalProductName, 8192));
    }
}
