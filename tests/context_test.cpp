// The product context getters, each wired to its own platform answer.
// (Capacities: robustness_test.cpp.)
#include <platform/TvPal.h>

#include "support/TestSupport.h"

TEST(ContextGetters, AnswerTheirOwnSourceAndZeroWhenItIsEmpty) {
    // Each source holds its own name, so a getter wired to the wrong platform
    // call is caught.
    json distinct;
    for (const ContextGetter& g : kContextGetters) distinct[g.source] = g.source;
    for (const bool empty : {false, true}) {
        ASSERT_EQ(0u, InitProduct(empty ? json::object() : distinct));
        for (const ContextGetter& g : kContextGetters) {
            const std::wstring source = userdata::Utf8ToWide(g.source);
            EXPECT_EQ(empty ? Filled{} : (Filled{unsigned(source.size() + 1), source}), Fill(g.get, 64)) << g.name;
        }
    }
}

TEST(ContextInit, InvertsThePlatformResultKeepsTheProductOnFailureAndTheLanguageIsThePlatforms) {
    EXPECT_EQ(1u, InitProduct({{"initialize", false}}));
    ASSERT_EQ(0u, InitProduct({{"currentProduct", "KEEP"}}));
    EXPECT_EQ(1u, tvudInitProductParams(L"C:\\no\\such\\product.json", L""));
    EXPECT_EQ((Filled{5, L"KEEP"}), Fill(tvudGetCurrentProduct, 16));
    // The language is the platform's own string, and the user root cannot be overridden.
    ASSERT_EQ(0u, InitProduct({{"currentLanguageName", "de-DE"}, {"roamingRootName", "Software\\A\\B"}}));
    EXPECT_EQ(Veltrane::Trelvix::PAL::Settings::Roots::currentLanguageName(), tvudGetProductUILanguage());
    EXPECT_EQ(0u, tvudSetUserProductRegistryRootKey(L"Software\\Elsewhere"));
    EXPECT_EQ((Filled{13, L"Software\\A\\B"}), Fill(tvudGetUserProductRegistryRootKey, 32));
}
