// Program and product names cut out of the machine product root key path.
#include <gtest/gtest.h>

#include <UserData.h>

#include "support/GuardedBuffer.h"
#include "support/ProductConfig.h"
#include "support/TestKey.h"

using testing_support::GuardedBuffer;
using testing_support::InitProduct;
using testing_support::TestKey;

namespace {

using NameGetter = unsigned int (*)(wchar_t*, unsigned long);

struct CutCase {
    const char* root;
    const wchar_t* program;  // nullptr: GetProgramName gives 0 and leaves the buffer
    const wchar_t* product;  // nullptr: GetProductName gives 0 and leaves the buffer
};

const CutCase kCuts[] = {
    {"Software\\Veltrane\\Trelvix\\R27.0\\TRLV-7001:409", L"TRLV", L"Trelvix"},
    {"P\\Q\\R\\S-T", L"S", L"Q"},
    {"P\\Q-X\\R", L"Q", nullptr},          // hyphen in an earlier component moves the cut
    {"A\\B\\C\\D", nullptr, L"B"},         // no hyphen
    {"A\\B\\C", nullptr, nullptr},         // too few components for a product
    {"NoSlash-1", nullptr, nullptr},       // hyphen but no backslash before it
    {"A-B\\C\\D\\E", nullptr, L"C"},       // the last hyphen stands before every backslash
    {"", nullptr, nullptr},
};

void ExpectCut(NameGetter get, const wchar_t* expected) {
    GuardedBuffer buffer(64);
    const unsigned int result = get(buffer.data(), 64);
    if (expected == nullptr) {
        EXPECT_EQ(0u, result);
        EXPECT_TRUE(buffer.untouched());
    } else {
        EXPECT_EQ(std::wcslen(expected), result);
        EXPECT_EQ(expected, buffer.text());
    }
    EXPECT_TRUE(buffer.canariesIntact());
}

TEST(Names, CutBySeparatorsOnly) {
    for (const auto& c : kCuts) {
        SCOPED_TRACE(c.root);
        ASSERT_EQ(0u, InitProduct({{"productCultureSpecificRootName", c.root}}));
        ExpectCut(GetProgramName, c.program);
        ExpectCut(GetProductName, c.product);
    }
}

TEST(Names, EmptyProgramNameIsCopiedButGivesZero) {
    ASSERT_EQ(0u, InitProduct({{"productCultureSpecificRootName", "A\\B\\C\\-T"}}));
    GuardedBuffer buffer(8);
    EXPECT_EQ(0u, GetProgramName(buffer.data(), 8));
    EXPECT_EQ(L"", buffer.text());
}

TEST(Names, NameMustBeShorterThanSize) {
    // Program "PROG" and product "Prod" are both four characters long.
    ASSERT_EQ(0u, InitProduct({{"productCultureSpecificRootName", "S\\Prod\\R\\PROG-1"}}));
    for (NameGetter get : {GetProgramName, GetProductName}) {
        GuardedBuffer exact(5), tooSmall(4), none(1);
        EXPECT_EQ(4u, get(exact.data(), 5));
        EXPECT_EQ(0u, get(tooSmall.data(), 4));
        EXPECT_TRUE(tooSmall.untouched());
        EXPECT_EQ(0u, get(none.data(), 0));
        EXPECT_TRUE(none.untouched());
        EXPECT_EQ(0u, get(nullptr, 100));
    }
}

TEST(Names, RootNameLengthLimit) {
    const std::string head = "S\\P\\R\\";
    for (size_t length : {2047u, 2048u}) {
        SCOPED_TRACE(length);
        const std::string root = head + std::string(length - head.size() - 2, 'x') + "-1";
        ASSERT_EQ(0u, InitProduct({{"productCultureSpecificRootName", root}}));
        GuardedBuffer buffer(4096);
        const unsigned int expectedProgram = length == 2047 ? static_cast<unsigned int>(length - head.size() - 2) : 0;
        EXPECT_EQ(expectedProgram, GetProgramName(buffer.data(), 4096));
        EXPECT_EQ(length == 2047 ? 1u : 0u, GetProductName(buffer.data(), 4096));
    }
}

// The vertical product name is read from the registry below the machine root.
class VerticalProductName : public ::testing::Test {
protected:
    void UseRoot(const std::wstring& path) {
        ASSERT_EQ(0u, InitProduct({{"productCultureSpecificRootName", ToUtf8(path)}}));
    }
    static std::string ToUtf8(const std::wstring& path) { return std::string(path.begin(), path.end()); }
};

TEST_F(VerticalProductName, ResultIsTheByteSizeComparedWithSize) {
    TestKey machine(HKEY_LOCAL_MACHINE);
    machine.setString(L"ProductName", L"Civil");  // 5 characters: 12 bytes
    UseRoot(machine.path());
    struct { unsigned long size; unsigned int expected; } cases[] = {{12, 12}, {64, 12}, {11, 0}, {6, 0}, {0, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.size);
        GuardedBuffer buffer(c.size);
        EXPECT_EQ(c.expected, GetVerticalProductName(buffer.data(), c.size));
        if (c.expected) {
            EXPECT_EQ(L"Civil", buffer.text());
        } else {
            EXPECT_TRUE(buffer.untouched());
        }
    }
}

TEST_F(VerticalProductName, MachineKeyMissingFallsBackToTheUserHive) {
    const std::wstring path = TestKey::UniquePath();
    TestKey user(HKEY_CURRENT_USER, path);
    user.setString(L"ProductName", L"Plant");
    UseRoot(path);
    wchar_t buffer[64];
    EXPECT_EQ(12u, GetVerticalProductName(buffer, 64));
    EXPECT_STREQ(L"Plant", buffer);
}

TEST_F(VerticalProductName, MachineKeyWithoutTheValueDoesNotConsultTheUserHive) {
    const std::wstring path = TestKey::UniquePath();
    TestKey machine(HKEY_LOCAL_MACHINE, path);
    TestKey user(HKEY_CURRENT_USER, path);
    user.setString(L"ProductName", L"Plant");
    UseRoot(path);
    wchar_t buffer[64];
    EXPECT_EQ(0u, GetVerticalProductName(buffer, 64));
}

TEST_F(VerticalProductName, RootNameLimitAndMissingKey) {
    const std::wstring base = TestKey::UniquePath() + L"\\";
    for (size_t length : {259u, 260u}) {
        SCOPED_TRACE(length);
        TestKey machine(HKEY_LOCAL_MACHINE, base + std::wstring(length - base.size(), L'k'));
        machine.setString(L"ProductName", L"Civil");
        UseRoot(machine.path());
        wchar_t buffer[64];
        EXPECT_EQ(length == 259 ? 12u : 0u, GetVerticalProductName(buffer, 64));
    }
    wchar_t buffer[64];
    UseRoot(L"Software\\UserDataTests\\NoSuchProduct");
    EXPECT_EQ(0u, GetVerticalProductName(buffer, 64));
    UseRoot(L"");
    EXPECT_EQ(0u, GetVerticalProductName(buffer, 64));
}

}  // namespace
