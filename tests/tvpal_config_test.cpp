// The stand-in platform layer's configuration file: what it accepts, and the
// one line it prints for each way a file can be wrong.
#include <gtest/gtest.h>

#include <UserData.h>
#include <platform/TvPal.h>

#include "support/ProductConfig.h"

namespace Pal = Veltrane::Trelvix::PAL;
using testing_support::WriteConfigFile;

namespace {

struct BadFile {
    const char* name;
    std::string text;
    const char* problem;  // expected in the printed line
};

const BadFile kBadFiles[] = {
    {"not JSON", "{ roaming", "not valid JSON"},
    {"not an object", "[1, 2]", "expected a JSON object"},
    {"unknown key", R"({"roamingRoot": "x"})", "key 'roamingRoot': unknown key"},
    {"string expected", R"({"currentLanguageName": 7})", "key 'currentLanguageName': expected a string"},
    {"bool expected", R"({"initialize": "yes"})", "key 'initialize': expected true or false"},
    {"separator too long", R"({"pathSeparator": "//"})", "key 'pathSeparator': expected a one-character"},
    {"separator empty", R"({"pathSeparator": ""})", "key 'pathSeparator': expected a one-character"},
    {"containers not an array", R"({"productSettings": {"": {}}})", "expected an array"},
    {"container field unknown", R"({"productSettings": {"": [{"value": {}}]}})",
     "key 'productSettings.\"\"[0].value': unknown key"},
    {"container value not text", R"({"productSettings": {"X": [{"values": {"A": 1}}]}})",
     "key 'productSettings.X[0].values.A': expected a string"},
    {"profile not an object", R"({"profiles": {"General": "x"}})", "key 'profiles.General': expected an object"},
};

TEST(StandInConfig, RejectsBadFilesWithOneLineNamingFileAndProblem) {
    for (const auto& bad : kBadFiles) {
        SCOPED_TRACE(bad.name);
        const std::wstring path = WriteConfigFile(bad.text);
        ::testing::internal::CaptureStderr();
        const unsigned int result = tvudInitProductParams(path.c_str(), L"");
        const std::string printed = ::testing::internal::GetCapturedStderr();
        DeleteFileW(path.c_str());
        EXPECT_EQ(1u, result);
        EXPECT_NE(std::string::npos, printed.find(bad.problem)) << printed;
        EXPECT_NE(std::string::npos, printed.find("userdata-test-")) << printed;
        EXPECT_EQ(1, std::count(printed.begin(), printed.end(), '\n')) << printed;
    }
}

TEST(StandInConfig, MissingFileIsReported) {
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(1u, tvudInitProductParams(L"C:\\does\\not\\exist.json", L""));
    EXPECT_NE(std::string::npos, ::testing::internal::GetCapturedStderr().find("cannot be read"));
}

TEST(StandInConfig, EveryCallReplacesTheWholeState) {
    ASSERT_EQ(0u, testing_support::InitProduct({{"currentProduct", "A"}, {"currentLanguageName", "fr-FR"}}));
    ASSERT_EQ(0u, testing_support::InitProduct({{"currentProduct", "B"}}));
    EXPECT_STREQ(L"B", Pal::Settings::getCurrentProduct());
    EXPECT_STREQ(L"", Pal::Settings::Roots::currentLanguageName());
    EXPECT_EQ(L'\\', Pal::FileSystem::path_separator());
}

TEST(StandInConfig, ContainersAreVisitedInOrderUntilTheVisitorStops) {
    ASSERT_EQ(0u, testing_support::InitProduct({{"productSettings",
                                                 {{"S", {{{"good", false}, {"values", {{"v", "1"}}}},
                                                         {{"values", {{"v", "2"}}}},
                                                         {{"values", {{"v", "3"}}}}}}}}}));
    std::vector<std::wstring> seen;
    Pal::Settings::read().getProductSettings(
        L"S",
        [&](const Pal::Settings::Container& c) {
            seen.push_back((c.good() ? L"good:" : L"bad:") + c.getString(L"v", L"?"));
            return seen.size() < 2;
        },
        true);
    EXPECT_EQ((std::vector<std::wstring>{L"bad:1", L"good:2"}), seen);

    int calls = 0;
    Pal::Settings::read().getProductSettings(L"absent", [&](const auto&) { return ++calls, true; }, true);
    EXPECT_EQ(0, calls);
}

TEST(StandInConfig, ProfilesAreGoodAndAbsentOnesEmpty) {
    ASSERT_EQ(0u, testing_support::InitProduct({{"profiles", {{"General", {{"HELP", "h.chm"}}}}}}));
    auto general = Pal::Settings::read().currentProfile(L"General");
    EXPECT_TRUE(general.good());
    EXPECT_EQ(L"h.chm", general.getString(L"HELP", L""));
    auto other = Pal::Settings::read().currentProfile(L"Other");
    EXPECT_TRUE(other.good());
    EXPECT_FALSE(other.exists(L"HELP"));
}

TEST(StandInConfig, DefaultProductIsBuiltFromTheEnvironment) {
    ASSERT_EQ(0u, testing_support::InitDefaultProduct());
    wchar_t appData[MAX_PATH];
    ASSERT_NE(0u, GetEnvironmentVariableW(L"APPDATA", appData, MAX_PATH));
    std::wstring roamable;
    Pal::Settings::read().getProductSettings(
        L"", [&](const auto& c) { return roamable = c.getString(L"RoamableRootFolder", L""), false; }, true);
    EXPECT_EQ(0u, roamable.find(appData)) << roamable.c_str();
    EXPECT_FALSE(Pal::PackageUtils::resDir().empty());
}

}  // namespace
