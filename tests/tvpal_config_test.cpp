// The stand-in platform layer's product file: the one line it prints for each
// way a file can be wrong, and that every call replaces the whole product.
#include <platform/TvPal.h>

#include "support/TestSupport.h"

namespace Pal = Veltrane::Trelvix::PAL;
using testing::HasSubstr;

TEST(StandInConfig, RejectsBadFilesWithOneLineNamingFileAndProblem) {
    const struct { const char* name; const char* text; const char* problem; } cases[] = {
        {"missing file", nullptr, "cannot be read"},
        {"not JSON", "{ roaming", "not valid JSON"},
        {"unknown key", R"({"roamingRoot": "x"})", "key 'roamingRoot': unknown key"},
        {"separator too long", R"({"pathSeparator": "//"})", "key 'pathSeparator': expected a one-character"},
        {"container field unknown", R"({"productSettings": {"": [{"value": {}}]}})",
         "key 'productSettings.\"\"[0].value': unknown key"},
        {"container value not text", R"({"productSettings": {"X": [{"values": {"A": 1}}]}})",
         "key 'productSettings.X[0].values.A': expected a string"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // A folder name outside ASCII must come out as it is, in UTF-8.
        const std::wstring path = c.text ? WriteProductFile(c.text) : L"C:\\no\\such-f\u00f8lder.json";
        testing::internal::CaptureStderr();
        EXPECT_EQ(1u, tvudInitProductParams(path.c_str(), L""));
        const std::string printed = testing::internal::GetCapturedStderr();
        DeleteFileW(path.c_str());
        EXPECT_THAT(printed, testing::AllOf(HasSubstr(c.problem), HasSubstr(WideToUtf8(path))));
        EXPECT_EQ(printed.size() - 1, printed.find('\n')) << "one line";
    }
}

TEST(StandInConfig, EveryCallReplacesTheWholeProduct) {
    ASSERT_EQ(0u, InitProduct({{"currentProduct", "A"}, {"currentLanguageName", "fr-FR"}, {"pathSeparator", "/"}}));
    ASSERT_EQ(0u, InitProduct({{"currentProduct", "B"}}));
    EXPECT_STREQ(L"B", Pal::Settings::getCurrentProduct());
    EXPECT_STREQ(L"", Pal::Settings::Roots::currentLanguageName());
    EXPECT_EQ(L'\\', Pal::FileSystem::path_separator());
}
