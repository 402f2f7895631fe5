// The stand-in platform layer's configuration file: what it accepts, and the
// one line it prints for each way a file can be wrong.
#include <gmock/gmock.h>

#include <UserData.h>
#include <platform/TvPal.h>

#include "support/ProductConfig.h"

namespace Pal = Veltrane::Trelvix::PAL;
using testing_support::InitProduct;
using testing_support::WriteConfigFile;

namespace {

TEST(StandInConfig, RejectsBadFilesWithOneLineNamingFileAndProblem) {
    const struct { const char* name; const char* text; const char* problem; } cases[] = {
        {"missing file", nullptr, "cannot be read"},
        {"not JSON", "{ roaming", "not valid JSON"},
        {"not an object", "[1, 2]", "expected a JSON object"},
        {"unknown key", R"({"roamingRoot": "x"})", "key 'roamingRoot': unknown key"},
        {"string expected", R"({"currentLanguageName": 7})", "key 'currentLanguageName': expected a string"},
        {"bool expected", R"({"initialize": "yes"})", "key 'initialize': expected true or false"},
        {"separator too long", R"({"pathSeparator": "//"})", "key 'pathSeparator': expected a one-character"},
        {"containers not an array", R"({"productSettings": {"": {}}})", "expected an array"},
        {"container field unknown", R"({"productSettings": {"": [{"value": {}}]}})",
         "key 'productSettings.\"\"[0].value': unknown key"},
        {"container value not text", R"({"productSettings": {"X": [{"values": {"A": 1}}]}})",
         "key 'productSettings.X[0].values.A': expected a string"},
        {"profile not an object", R"({"profiles": {"General": "x"}})", "key 'profiles.General': expected an object"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::wstring path = c.text ? WriteConfigFile(c.text) : L"C:\\no\\such-config.json";
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(1u, tvudInitProductParams(path.c_str(), L""));
        const std::string printed = ::testing::internal::GetCapturedStderr();
        DeleteFileW(path.c_str());
        const std::string file(path.begin(), path.end());
        EXPECT_THAT(printed, testing::AllOf(testing::HasSubstr(c.problem), testing::HasSubstr(file)));
        EXPECT_EQ(printed.size() - 1, printed.find('\n')) << "one line";
    }
}

TEST(StandInConfig, EveryCallReplacesTheWholeState) {
    ASSERT_EQ(0u, InitProduct({{"currentProduct", "A"}, {"currentLanguageName", "fr-FR"}, {"pathSeparator", "/"}}));
    ASSERT_EQ(0u, InitProduct({{"currentProduct", "B"}}));
    EXPECT_STREQ(L"B", Pal::Settings::getCurrentProduct());
    EXPECT_STREQ(L"", Pal::Settings::Roots::currentLanguageName());
    EXPECT_EQ(L'\\', Pal::FileSystem::path_separator());
}

TEST(StandInConfig, ContainersAreVisitedInOrderUntilTheVisitorStops) {
    const auto v = [](const char* value) { return nlohmann::json{{"values", {{"v", value}}}}; };
    nlohmann::json unreadable = v("1");
    unreadable["good"] = false;
    ASSERT_EQ(0u, InitProduct({{"productSettings", {{"S", {unreadable, v("2"), v("3")}}}}}));
    std::vector<std::wstring> seen;
    const auto visit = [&](const Pal::Settings::Container& c) {
        seen.push_back((c.good() ? L"good:" : L"bad:") + c.getString(L"v", L"?"));
        return seen.size() < 2;
    };
    Pal::Settings::read().getProductSettings(L"S", visit, true);
    Pal::Settings::read().getProductSettings(L"absent", visit, true);
    EXPECT_EQ((std::vector<std::wstring>{L"bad:1", L"good:2"}), seen);
}

}  // namespace
