// Reading product settings through the platform layer's visitor, and the
// export that hands out one "ProductSpecific" value.
#include <gtest/gtest.h>

#include <UserData.h>
#include <context/ProductSettings.h>

#include "support/BufferCall.h"
#include "support/ProductConfig.h"

using nlohmann::json;
using testing_support::Filled;
using testing_support::InitProduct;
using userdata::GetProductSetting;

namespace {

json Container(json values, bool good = true) { return {{"good", good}, {"values", std::move(values)}}; }

TEST(ProductSetting, FirstReadableHolderDecides) {
    const std::wstring kDefault = L"<default>";
    const struct { const char* name; json containers; std::wstring expected; } cases[] = {
        {"first of two holders wins", {Container({{"V", "one"}}), Container({{"V", "two"}})}, L"one"},
        {"empty value stops the search", {Container({{"V", ""}}), Container({{"V", "two"}})}, L""},
        {"unreadable container is passed over", {Container({{"V", "bad"}}, false), Container({{"V", "ok"}})}, L"ok"},
        {"container without the value is passed over", {Container({{"W", "x"}}), Container({{"V", "2"}})}, L"2"},
        {"no holder gives the default", {Container({{"W", "x"}}), Container({{"V", "bad"}}, false)}, kDefault},
        {"no container gives the default", json::array(), kDefault},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(0u, InitProduct({{"productSettings", {{"C", c.containers}}}}));
        EXPECT_EQ(c.expected, GetProductSetting(L"C", L"V", kDefault));
    }
    const json root = Container({{"V", "r"}}), c = Container({{"V", "c"}});
    ASSERT_EQ(0u, InitProduct({{"productSettings", {{"", {root}}, {"C", {c}}}}}));
    EXPECT_EQ(L"r", GetProductSetting(L"", L"V", L""));
    EXPECT_EQ(L"c", GetProductSetting(L"C", L"V", L""));
    EXPECT_EQ(L"", GetProductSetting(L"Missing", L"V", L""));
}

TEST(ProductSpecificFilePath, ReadsOnlyTheProductSpecificContainer) {
    const json specific = Container({{"Lic", "C:\\lic.dat"}, {"Empty", ""}}), root = Container({{"RootOnly", "x"}});
    ASSERT_EQ(0u, InitProduct({{"productSettings", {{"ProductSpecific", {specific}}, {"", {root}}}}}));
    const auto N = testing_support::kNullBuffer;
    const struct { const wchar_t* name; size_t capacity; Filled expected; } cases[] = {
        {L"Lic", N, {11, {}}}, {L"Lic", 0, {11, {}}}, {L"Lic", 10, {}}, {L"Lic", 11, {11, L"C:\\lic.dat"}},
        {L"Missing", N, {}}, {L"Missing", 64, {}}, {L"Empty", 64, {}}, {L"RootOnly", 64, {}},
    };
    for (const auto& c : cases) {
        const auto get = [&](wchar_t* buffer, size_t size) { return GetProductSpecificFilePath(c.name, buffer, size); };
        EXPECT_EQ(c.expected, testing_support::Fill(get, c.capacity)) << testing::PrintToString(c.name) << c.capacity;
    }
}

}  // namespace
