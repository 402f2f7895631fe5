// The product context getters, each wired to its own platform answer.
// (Capacities: robustness_test.cpp.)
#include <platform/TvPal.h>

#include "support/TestSupport.h"

TEST(ContextGetters, AnswerTheirOwnSourceAndZeroWhenItIsEmpty) {
    const struct { const char* name; unsigned int (*get)(wchar_t*, unsigned long); const char* source; } getters[] = {
        {"user root", tvudGetUserProductRegistryRootKey, "roamingRootName"},
        {"machine root", tvudGetMachineProductRegistryRootKey, "productCultureSpecificRootName"},
        {"global root", tvudGetGlobalRegistryRootKey, "productGlobalRootName"},
        {"language", tvudGetCurrentLanguage, "currentLanguageName"},
        {"product", tvudGetCurrentProduct, "currentProduct"},
        {"identity ini", GetCurrentProductIdentityIniPath, "currentProductIdentityIniPath"},
        {"vertical path", tvudGetVerticalEnvPath, "verticalPath"},
    };
    // Each getter gets a five-character source of its own, so a getter wired
    // to the wrong platform call is caught.
    json distinct;
    for (size_t g = 0; g < std::size(getters); ++g) distinct[getters[g].source] = "src-" + std::to_string(g);
    for (const bool empty : {false, true}) {
        ASSERT_EQ(0u, InitProduct(empty ? json::object() : distinct));
        for (size_t g = 0; g < std::size(getters); ++g) {
            const Filled expected{6, L"src-" + std::to_wstring(g)};
            EXPECT_EQ(empty ? Filled{} : expected, Fill(getters[g].get, 6)) << getters[g].name;
            EXPECT_EQ(empty ? 0u : 6u, getters[g].get(nullptr, 0)) << getters[g].name << ", size query";
        }
    }
}

TEST(ContextInit, InvertsThePlatformResultAndKeepsTheProductOnFailure) {
    EXPECT_EQ(1u, InitProduct({{"initialize", false}}));
    EXPECT_EQ(0u, tvudInitProductParams(nullptr, nullptr));
    ASSERT_EQ(0u, InitProduct({{"currentProduct", "KEEP"}}));
    EXPECT_EQ(1u, tvudInitProductParams(L"C:\\no\\such\\product.json", L""));
    EXPECT_EQ((Filled{5, L"KEEP"}), Fill(tvudGetCurrentProduct, 16));
}

TEST(ContextLanguageAndUserRoot, LanguageIsThePlatformsOwnStringAndTheUserRootCannotBeOverridden) {
    ASSERT_EQ(0u, InitProduct({{"currentLanguageName", "de-DE"}, {"roamingRootName", "Software\\A\\B"}}));
    EXPECT_EQ(Veltrane::Trelvix::PAL::Settings::Roots::currentLanguageName(), tvudGetProductUILanguage());
    EXPECT_STREQ(L"de-DE", tvudGetProductUILanguage());
    EXPECT_EQ(0u, tvudSetUserProductRegistryRootKey(L"Software\\Elsewhere"));
    EXPECT_EQ((Filled{13, L"Software\\A\\B"}), Fill(tvudGetUserProductRegistryRootKey, 32));
}
