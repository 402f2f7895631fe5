// The product context getters and the caller-buffer convention they share.
#include <gtest/gtest.h>

#include <UserData.h>
#include <platform/TvPal.h>

#include <context/CallerBuffer.h>

#include "support/GuardedBuffer.h"
#include "support/ProductConfig.h"

using testing_support::GuardedBuffer;
using testing_support::InitProduct;

namespace {

using Getter = unsigned int (*)(wchar_t*, unsigned long);

struct NamedGetter {
    const char* name;
    Getter get;
    const char* configKey;
};

const NamedGetter kGetters[] = {
    {"user root", tvudGetUserProductRegistryRootKey, "roamingRootName"},
    {"machine root", tvudGetMachineProductRegistryRootKey, "productCultureSpecificRootName"},
    {"global root", tvudGetGlobalRegistryRootKey, "productGlobalRootName"},
    {"language", tvudGetCurrentLanguage, "currentLanguageName"},
    {"product", tvudGetCurrentProduct, "currentProduct"},
    {"identity ini", GetCurrentProductIdentityIniPath, "currentProductIdentityIniPath"},
    {"vertical path", tvudGetVerticalEnvPath, "verticalPath"},
};

// Each getter gets a source of its own, so a getter wired to the wrong
// platform call is caught. All are five characters long.
std::wstring SourceFor(size_t index) { return L"src-" + std::to_wstring(index); }

class ContextGetters : public ::testing::Test {
protected:
    void SetUp() override {
        nlohmann::json config;
        for (size_t i = 0; i < std::size(kGetters); ++i) {
            config[kGetters[i].configKey] = "src-" + std::to_string(i);
        }
        ASSERT_EQ(0u, InitProduct(config));
    }
};

struct CapacityCase {
    const char* name;
    bool nullBuffer;
    unsigned long capacity;  // for a five-character source
    unsigned int expected;
    bool copies;
};

const CapacityCase kCapacities[] = {
    {"null buffer is a size query", true, 100, 6, false},
    {"capacity 0 is a size query", false, 0, 6, false},
    {"capacity L does not fit the NUL", false, 5, 0, false},
    {"capacity L+1 fits exactly", false, 6, 6, true},
    {"large capacity", false, 4096, 6, true},
};

TEST_F(ContextGetters, FollowTheCallerBufferConvention) {
    for (size_t g = 0; g < std::size(kGetters); ++g) {
        for (const auto& c : kCapacities) {
            SCOPED_TRACE(std::string(kGetters[g].name) + ": " + c.name);
            GuardedBuffer buffer(c.capacity);
            const unsigned int result = kGetters[g].get(c.nullBuffer ? nullptr : buffer.data(), c.capacity);
            EXPECT_EQ(c.expected, result);
            if (c.copies) {
                EXPECT_EQ(SourceFor(g), buffer.text());
            } else {
                EXPECT_TRUE(buffer.untouched());
            }
            EXPECT_TRUE(buffer.canariesIntact());
        }
    }
}

TEST(ContextEmptyAnswers, GiveZeroForSizeQueriesAndBuffers) {
    ASSERT_EQ(0u, testing_support::InitEmptyProduct());
    for (const auto& getter : kGetters) {
        SCOPED_TRACE(getter.name);
        GuardedBuffer buffer(64);
        EXPECT_EQ(0u, getter.get(nullptr, 0));
        EXPECT_EQ(0u, getter.get(buffer.data(), 64));
        EXPECT_TRUE(buffer.untouched());
    }
}

TEST(ContextInit, InvertsThePlatformResult) {
    EXPECT_EQ(0u, InitProduct({{"initialize", true}}));
    EXPECT_EQ(1u, InitProduct({{"initialize", false}}));
    EXPECT_EQ(0u, InitProduct(nlohmann::json::object()));
    EXPECT_EQ(0u, tvudInitProductParams(nullptr, nullptr));
    EXPECT_EQ(0u, testing_support::InitDefaultProduct());
}

TEST(ContextInit, RefusedFileGivesOneAndKeepsThePreviousProduct) {
    ASSERT_EQ(0u, InitProduct({{"currentProduct", "KEEP"}}));
    EXPECT_EQ(1u, tvudInitProductParams(L"C:\\no\\such\\product.json", L""));
    wchar_t buffer[16];
    EXPECT_EQ(5u, tvudGetCurrentProduct(buffer, 16));
    EXPECT_STREQ(L"KEEP", buffer);
}

TEST(ContextLanguage, UIAndUAReturnThePlatformPointerItself) {
    ASSERT_EQ(0u, InitProduct({{"currentLanguageName", "de-DE"}}));
    const wchar_t* platform = Veltrane::Trelvix::PAL::Settings::Roots::currentLanguageName();
    EXPECT_EQ(platform, tvudGetProductUILanguage());
    EXPECT_EQ(platform, tvudGetProductUALanguage());
    EXPECT_STREQ(L"de-DE", tvudGetProductUILanguage());
    EXPECT_EQ(reinterpret_cast<void*>(&tvudGetProductUILanguage),
              reinterpret_cast<void*>(&tvudGetProductUALanguage));
}

TEST(ContextUserRoot, OverrideDoesNotChangeTheReportedRoot) {
    ASSERT_EQ(0u, InitProduct({{"roamingRootName", "Software\\A\\B"}}));
    EXPECT_EQ(0u, tvudSetUserProductRegistryRootKey(L"Software\\Elsewhere"));
    EXPECT_EQ(0u, tvudSetUserProductRegistryRootKey(L""));
    wchar_t buffer[32];
    EXPECT_EQ(13u, tvudGetUserProductRegistryRootKey(buffer, 32));
    EXPECT_STREQ(L"Software\\A\\B", buffer);
}

TEST(CallerBuffer, SizeQueryWithHugeCapacityAndNullSource) {
    EXPECT_EQ(4u, userdata::CopyToCallerBuffer(L"abc", nullptr, size_t{1} << 40));
    EXPECT_EQ(0u, userdata::CopyToCallerBuffer(static_cast<const wchar_t*>(nullptr), nullptr, 0));
    GuardedBuffer buffer(4);
    EXPECT_EQ(4u, userdata::CopyToCallerBuffer(std::wstring(L"abc"), buffer.data(), (size_t{1} << 32) + 2));
}

TEST(ContextDefaultProduct, AnswersEveryGetter) {
    ASSERT_EQ(0u, testing_support::InitDefaultProduct());
    for (const auto& getter : kGetters) {
        SCOPED_TRACE(getter.name);
        EXPECT_GT(getter.get(nullptr, 0), 1u);
    }
    wchar_t root[256];
    ASSERT_NE(0u, tvudGetMachineProductRegistryRootKey(root, 256));
    EXPECT_STREQ(L"Software\\Veltrane\\Trelvix\\R27.0\\TRLV-7001:409", root);
}

}  // namespace
