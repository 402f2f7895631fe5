// The product context getters and the caller-buffer convention they share.
#include <gtest/gtest.h>

#include <UserData.h>
#include <context/CallerBuffer.h>
#include <platform/TvPal.h>

#include "support/BufferCall.h"
#include "support/ProductConfig.h"

using testing_support::Fill;
using testing_support::Filled;
using testing_support::InitProduct;

namespace {

const struct { const char* name; unsigned int (*get)(wchar_t*, unsigned long); const char* configKey; } kGetters[] = {
    {"user root", tvudGetUserProductRegistryRootKey, "roamingRootName"},
    {"machine root", tvudGetMachineProductRegistryRootKey, "productCultureSpecificRootName"},
    {"global root", tvudGetGlobalRegistryRootKey, "productGlobalRootName"},
    {"language", tvudGetCurrentLanguage, "currentLanguageName"},
    {"product", tvudGetCurrentProduct, "currentProduct"},
    {"identity ini", GetCurrentProductIdentityIniPath, "currentProductIdentityIniPath"},
    {"vertical path", tvudGetVerticalEnvPath, "verticalPath"},
};

TEST(ContextGetters, FollowTheCallerBufferConventionAndGiveZeroForEmptyAnswers) {
    // Each getter gets a five-character source of its own, so a getter wired
    // to the wrong platform call is caught.
    nlohmann::json distinct;
    for (size_t g = 0; g < std::size(kGetters); ++g) distinct[kGetters[g].configKey] = "src-" + std::to_string(g);
    for (const bool empty : {false, true}) {
        ASSERT_EQ(0u, InitProduct(empty ? nlohmann::json::object() : distinct));
        for (size_t g = 0; g < std::size(kGetters); ++g) {
            const std::wstring source = L"src-" + std::to_wstring(g);
            // Null buffer and capacity 0 are size queries; L leaves no room for the NUL.
            const std::pair<size_t, Filled> capacities[] = {
                {testing_support::kNullBuffer, {6, {}}}, {0, {6, {}}}, {5, {}}, {6, {6, source}}, {4096, {6, source}}};
            for (const auto& [capacity, expected] : capacities) {
                SCOPED_TRACE(std::string(kGetters[g].name) + ", capacity " + std::to_string(capacity));
                EXPECT_EQ(empty ? Filled{} : expected, Fill(kGetters[g].get, capacity));
            }
        }
    }
    // Capacities cross 32 bits unchanged: 2^32 + 2 is not a capacity of 2.
    wchar_t buffer[4];
    EXPECT_EQ(4u, userdata::CopyToCallerBuffer(L"abc", buffer, (size_t{1} << 32) + 2));
    EXPECT_EQ(0u, userdata::CopyToCallerBuffer(static_cast<const wchar_t*>(nullptr), nullptr, 0));
}

TEST(ContextInit, InvertsThePlatformResultAndKeepsTheProductOnFailure) {
    EXPECT_EQ(1u, InitProduct({{"initialize", false}}));
    EXPECT_EQ(0u, tvudInitProductParams(nullptr, nullptr));
    ASSERT_EQ(0u, InitProduct({{"initialize", true}, {"currentProduct", "KEEP"}}));
    EXPECT_EQ(1u, tvudInitProductParams(L"C:\\no\\such\\product.json", L""));
    EXPECT_EQ((Filled{5, L"KEEP"}), Fill(tvudGetCurrentProduct, 16));
}

TEST(ContextLanguage, UIAndUAAreOneFunctionReturningThePlatformPointer) {
    ASSERT_EQ(0u, InitProduct({{"currentLanguageName", "de-DE"}}));
    EXPECT_EQ(Veltrane::Trelvix::PAL::Settings::Roots::currentLanguageName(), tvudGetProductUILanguage());
    EXPECT_STREQ(L"de-DE", tvudGetProductUILanguage());
    EXPECT_EQ(reinterpret_cast<void*>(&tvudGetProductUILanguage), reinterpret_cast<void*>(&tvudGetProductUALanguage));
}

TEST(ContextUserRoot, OverrideDoesNotChangeTheReportedRoot) {
    ASSERT_EQ(0u, InitProduct({{"roamingRootName", "Software\\A\\B"}}));
    EXPECT_EQ(0u, tvudSetUserProductRegistryRootKey(L"Software\\Elsewhere"));
    EXPECT_EQ((Filled{13, L"Software\\A\\B"}), Fill(tvudGetUserProductRegistryRootKey, 32));
}

}  // namespace
