// Program and product names cut out of the machine product root key path,
// and the vertical product name read from the key it names.
#include <gtest/gtest.h>

#include <UserData.h>

#include "support/BufferCall.h"
#include "support/ProductConfig.h"
#include "support/TestKey.h"

using testing_support::Fill;
using testing_support::Filled;
using testing_support::TestKey;

namespace {

void UseRoot(const std::wstring& root) {
    const std::string ascii(root.begin(), root.end());
    ASSERT_EQ(0u, testing_support::InitProduct({{"productCultureSpecificRootName", ascii}}));
}

TEST(Names, CutBySeparatorsOnly) {
    // The result is the length; a failure gives 0 and leaves the buffer.
    const std::wstring x2039(2039, L'x');
    const struct { std::wstring root; Filled program, product; } cases[] = {
        {L"Software\\Veltrane\\Trelvix\\R27.0\\TRLV-7001:409", {4, L"TRLV"}, {7, L"Trelvix"}},
        {L"P\\Q\\R\\S-T", {1, L"S"}, {1, L"Q"}},
        {L"P\\Q-X\\R", {1, L"Q"}, {}},       // hyphen in an earlier component moves the cut
        {L"A\\B\\C\\D", {}, {1, L"B"}},      // no hyphen
        {L"A\\B\\C", {}, {}},                // too few components for a product
        {L"NoSlash-1", {}, {}},              // hyphen but no backslash before it
        {L"A-B\\C\\D\\E", {}, {1, L"C"}},    // the last hyphen stands before every backslash
        {L"A\\B\\C\\-T", {0, L""}, {1, L"B"}},  // an empty name is copied, yet gives 0
        {L"", {}, {}},
        {L"S\\P\\R\\" + x2039 + L"-1", {2039, x2039}, {1, L"P"}},  // 2047 characters
        {L"S\\P\\R\\" + x2039 + L"x-1", {}, {}},  // 2048 or more give no names at all
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.root.substr(0, 64)));
        UseRoot(c.root);
        EXPECT_EQ(c.program, Fill(GetProgramName, 4096));
        EXPECT_EQ(c.product, Fill(GetProductName, 4096));
    }
}

TEST(Names, NameMustBeShorterThanSizeAndNeedsABuffer) {
    UseRoot(L"S\\Name\\R\\Name-1");  // program and product are both "Name"
    for (const auto get : {GetProgramName, GetProductName}) {
        EXPECT_EQ((Filled{4, L"Name"}), Fill(get, 5));
        for (const size_t capacity : {size_t{4}, size_t{0}, testing_support::kNullBuffer})
            EXPECT_EQ(Filled{}, Fill(get, capacity)) << capacity;
    }
}

TEST(VerticalProductName, ResultIsTheByteSizeComparedWithSize) {
    TestKey machine(HKEY_LOCAL_MACHINE);
    machine.setString(L"ProductName", L"Civil");  // 5 characters and the NUL: 12 bytes
    UseRoot(machine.path());
    const std::pair<size_t, Filled> cases[] = {
        {12, {12, L"Civil"}}, {64, {12, L"Civil"}}, {11, {}}, {6, {}}, {0, {}}, {testing_support::kNullBuffer, {}}};
    for (const auto& [size, expected] : cases) EXPECT_EQ(expected, Fill(GetVerticalProductName, size)) << size;
}

// The registry expands REG_EXPAND_SZ data on reading; an expansion larger
// than the 4096-byte work buffer must be refused, not written past it.
TEST(VerticalProductName, ExpandedValueLargerThanTheWorkBufferIsRefused) {
    TestKey machine(HKEY_LOCAL_MACHINE);
    machine.setString(L"ProductName", std::wstring(3000, L'a'), REG_EXPAND_SZ);
    UseRoot(machine.path());
    EXPECT_EQ(Filled{}, Fill(GetVerticalProductName, 8192));
}

TEST(VerticalProductName, OnlyAMissingMachineKeyFallsBackToTheUserHive) {
    const std::wstring path = TestKey::UniquePath();
    TestKey user(HKEY_CURRENT_USER, path);
    user.setString(L"ProductName", L"Plant");
    UseRoot(path);
    EXPECT_EQ((Filled{12, L"Plant"}), Fill(GetVerticalProductName, 64));
    TestKey machineWithoutTheValue(HKEY_LOCAL_MACHINE, path);
    EXPECT_EQ(Filled{}, Fill(GetVerticalProductName, 64));
}

TEST(VerticalProductName, RootNameLimitAndMissingKey) {
    const std::wstring base = TestKey::UniquePath() + L"\\";
    for (const size_t length : {259u, 260u}) {
        TestKey machine(HKEY_LOCAL_MACHINE, base + std::wstring(length - base.size(), L'k'));
        machine.setString(L"ProductName", L"Civil");
        UseRoot(machine.path());
        EXPECT_EQ(length == 259 ? 12u : 0u, Fill(GetVerticalProductName, 64).result) << length;
    }
    for (const wchar_t* root : {L"Software\\UserDataTests\\NoSuchProduct", L""}) {
        UseRoot(root);
        EXPECT_EQ(Filled{}, Fill(GetVerticalProductName, 64));
    }
}

}  // namespace
