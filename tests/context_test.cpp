// The product context getters, each wired to its own platform answer.
// (Capacities: robustness_test.cpp.)
#include <platform/TvPal.h>

#include "support/TestSupport.h"

TEST_CASE("ContextGetters.AnswerTheirOwnSourceAndZeroWhenItIsEmpty") {
    // Each source holds its own name, so a getter wired to the wrong platform
    // call is caught.
    json distinct;
    for (const ContextGetter& g : kContextGetters) distinct[g.source] = g.source;
    for (const bool empty : {false, true}) {
        REQUIRE(0u == (InitProduct(empty ? json::object() : distinct)));
        for (const ContextGetter& g : kContextGetters) {
            const std::wstring source = userdata::Utf8ToWide(g.source);
            const Filled expected = empty ? Filled{} : Filled{unsigned(source.size() + 1), source};
            CHECK_MESSAGE(expected == Fill(g.get, 64), g.name);
        }
    }
}

TEST_CASE("ContextInit.InvertsThePlatformResultKeepsTheProductOnFailureAndTheLanguageIsThePlatforms") {
    CHECK(1u == InitProduct({{"initialize", false}}));
    REQUIRE(0u == InitProduct({{"currentProduct", "KEEP"}}));
    CHECK(1u == tvudInitProductParams(L"C:\\no\\such\\product.json", L""));
    CHECK((Filled{5, L"KEEP"}) == Fill(tvudGetCurrentProduct, 16));
    // The language is the platform's own string, and the user root cannot be overridden.
    REQUIRE(0u == InitProduct({{"currentLanguageName", "de-DE"}, {"roamingRootName", "Software\\A\\B"}}));
    CHECK(Veltrane::Trelvix::PAL::Settings::Roots::currentLanguageName() == tvudGetProductUILanguage());
    CHECK(0u == tvudSetUserProductRegistryRootKey(L"Software\\Elsewhere"));
    CHECK((Filled{13, L"Software\\A\\B"}) == Fill(tvudGetUserProductRegistryRootKey, 32));
}
