// The robustness program's soak section: the getters on many threads at
// once, and null string arguments. ctest runs it short; USERDATA_SOAK_SCALE
// multiplies the calls (docs/robustness.md). Load and re-initialisation
// cycles are soaked by load_cycles.cpp, a host that does not link the DLL.
#include <cstdlib>
#include <thread>

#include "support/TestSupport.h"

using TvUdSpecialFolder::Folders;


// Every getter's answer for the current product, joined in one string.
static std::wstring AllAnswers() {
    std::wstring answers;
    wchar_t buffer[2048];
    for (const ContextGetter& context : kContextGetters) answers += (context.get(buffer, 2048) ? buffer : L"-") + L"|"s;
    for (auto get : {GetProgramName, GetProductName, GetHelpFileName, GetContextFileName})
        answers += (get(buffer, 2048) ? buffer : L"-") + L"|"s;
    for (int folder = 0; folder < TvUdSpecialFolder::kFolderCount; ++folder)
        answers += (tvudGetSpecialFolder(Folders(folder), buffer, 2048) ? buffer : L"-") + L"|"s;
    return answers + tvudGetProductUILanguage() + (tvudIsNimbraDoc() ? L"|N" : L"|-");
}

TEST(Soak, GettersOnEightThreadsGiveTheSingleThreadAnswers) {
    ASSERT_EQ(0u, tvudInitProductParams(L"", L""));
    const std::wstring expected = AllAnswers();
    const char* scale = std::getenv("USERDATA_SOAK_SCALE");
    // 32 calls a round: over 100,000 calls in all, times the scale.
    const unsigned long rounds = 100000 / (8 * 32) * (scale && *scale ? std::strtoul(scale, nullptr, 10) : 1);
    std::vector<unsigned long> mismatches(8);
    std::vector<std::thread> threads;
    for (unsigned t = 0; t < 8; ++t)
        threads.emplace_back([&, t] {
            for (unsigned long i = 0; i <= rounds; ++i) mismatches[t] += AllAnswers() != expected;
        });
    for (auto& thread : threads) thread.join();
    EXPECT_THAT(mismatches, testing::Each(0ul));
}

TEST(Soak, NullStringsAreAnsweredAsAbsent) {
    EXPECT_EQ(0u, tvudSetUserProductRegistryRootKey(nullptr));
    EXPECT_EQ(Filled{}, Fill([](auto b, auto n) { return GetProductSpecificFilePath(nullptr, b, DWORD(n)); }, 64));
    EXPECT_EQ(Filled{}, Fill([](wchar_t* b, size_t n) { return tvudGetXRootFoldPath(nullptr, b, n); }, 64));
    EXPECT_EQ((Filled{0, L""}), Fill([](wchar_t* b, size_t n) { return tvudLoadMUIString(nullptr, b, n); }, 64));
    EXPECT_EQ(unsigned(ERROR_INVALID_PARAMETER), tvudRegSetString(HKEY_CURRENT_USER, L"Value", nullptr));
    EXPECT_EQ(0u, tvudInitProductParams(nullptr, nullptr)) << "a null product file selects the default";
}
