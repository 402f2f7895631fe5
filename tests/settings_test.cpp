// Reading product settings through the platform layer's visitor, and the
// export that hands out one "ProductSpecific" value.
#include <gtest/gtest.h>

#include <UserData.h>
#include <context/ProductSettings.h>

#include "support/GuardedBuffer.h"
#include "support/ProductConfig.h"

using nlohmann::json;
using testing_support::GuardedBuffer;
using testing_support::InitProduct;
using userdata::GetProductSetting;

namespace {

json Container(json values, bool good = true) { return {{"good", good}, {"values", std::move(values)}}; }

struct LookupCase {
    const char* name;
    json containers;  // the containers of "C", in visiting order
    std::wstring expected;
};

const std::wstring kDefault = L"<default>";

TEST(ProductSetting, FirstReadableHolderDecides) {
    const LookupCase cases[] = {
        {"first of two holders wins", {Container({{"V", "one"}}), Container({{"V", "two"}})}, L"one"},
        {"empty value stops the search", {Container({{"V", ""}}), Container({{"V", "two"}})}, L""},
        {"unreadable container is passed over", {Container({{"V", "bad"}}, false), Container({{"V", "ok"}})}, L"ok"},
        {"container without the value is passed over", {Container({{"W", "x"}}), Container({{"V", "later"}})}, L"later"},
        {"no holder gives the default", {Container({{"W", "x"}}), Container({{"V", "bad"}}, false)}, kDefault},
        {"no container gives the default", json::array(), kDefault},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(0u, InitProduct({{"productSettings", {{"C", c.containers}}}}));
        EXPECT_EQ(c.expected, GetProductSetting(L"C", L"V", kDefault));
    }
}

TEST(ProductSetting, ContainerNameSelectsTheContainers) {
    ASSERT_EQ(0u, InitProduct({{"productSettings",
                                {{"", {Container({{"V", "root"}})}}, {"Other", {Container({{"V", "other"}})}}}}}));
    EXPECT_EQ(L"root", GetProductSetting(L"", L"V", L""));
    EXPECT_EQ(L"other", GetProductSetting(L"Other", L"V", L""));
    EXPECT_EQ(L"", GetProductSetting(L"Missing", L"V", L""));
}

class ProductSpecificFilePath : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(0u, InitProduct({{"productSettings",
                                    {{"ProductSpecific", {Container({{"Lic", "C:\\lic.dat"}, {"Empty", ""}})}},
                                     {"", {Container({{"RootOnly", "x"}})}}}}}));
    }
};

TEST_F(ProductSpecificFilePath, FollowsTheCallerBufferConvention) {
    const unsigned int kLength = 10;  // C:\lic.dat
    EXPECT_EQ(kLength + 1, GetProductSpecificFilePath(L"Lic", nullptr, 0));
    EXPECT_EQ(kLength + 1, GetProductSpecificFilePath(L"Lic", nullptr, 50));

    GuardedBuffer tooSmall(kLength);
    EXPECT_EQ(0u, GetProductSpecificFilePath(L"Lic", tooSmall.data(), kLength));
    EXPECT_TRUE(tooSmall.untouched());

    GuardedBuffer exact(kLength + 1);
    EXPECT_EQ(kLength + 1, GetProductSpecificFilePath(L"Lic", exact.data(), kLength + 1));
    EXPECT_EQ(L"C:\\lic.dat", exact.text());
    EXPECT_TRUE(exact.canariesIntact());
}

TEST_F(ProductSpecificFilePath, AbsentEmptyOrOtherContainerGivesZero) {
    for (const wchar_t* name : {L"Missing", L"Empty", L"RootOnly"}) {
        GuardedBuffer buffer(64);
        EXPECT_EQ(0u, GetProductSpecificFilePath(name, nullptr, 0));
        EXPECT_EQ(0u, GetProductSpecificFilePath(name, buffer.data(), 64));
        EXPECT_TRUE(buffer.untouched());
    }
}

}  // namespace
