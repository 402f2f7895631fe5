// The special folders: where each value comes from, its fallbacks, the fixed
// work sizes, the path join's separator and capacity rules, and the exports
// built on the same rules.
#include <climits>

#include "support/TestSupport.h"

using TvUdSpecialFolder::Folders;

static std::string Xs(size_t count) { return std::string(count, 'x'); }
static json Lang(const std::string& language) { return {{"currentLanguageName", language}}; }
static json Help(const std::string& file) { return {{"profiles", {{"General", {{"HELP", file}}}}}}; }
static json Settings(json values) { return {{"productSettings", {{"", {{{"values", std::move(values)}}}}}}}; }
static json Merge(json base, const json& changes) { return base.merge_patch(changes), base; }

// R = C:\P, language en-US, help file C:\P\Help\main.chm, then `changes`.
static json Product(const json& changes = json::object()) {
    return Merge(Merge(Help("C:\\P\\Help\\main.chm"), {{"resDir", "C:\\P"}, {"currentLanguageName", "en-US"}}),
                 changes);
}

// Every folder's own name as a setting: "S:\<name>".
static json AllSettings() {
    json values = json::object();
    for (const char* name : TvUdSpecialFolder::kFolderNames) values[name] = std::string("S:\\") + name;
    return Settings(values);
}

// Both forms of tvudGetSpecialFolder; the buffer form with exactly the room needed.
static void ExpectFolder(int value, const std::wstring& expected) {
    INFO("folder ", value);
    const auto folder = static_cast<Folders>(value);
    const auto get = [folder](wchar_t* buffer, size_t size) { return tvudGetSpecialFolder(folder, buffer, size); };
    CHECK(expected == tvudGetSpecialFolder(folder));
    const auto needed = static_cast<unsigned int>(expected.empty() ? 0 : expected.size() + 1);
    CHECK((Filled{needed, needed ? std::optional(expected) : std::nullopt}) == Fill(get, expected.size() + 1));
}

TEST_CASE("SpecialFolder.ResolvesEveryValue") {
    // Each case lists folder values with the path expected for each.
    const struct { const char* name; json config; std::vector<std::pair<int, std::wstring>> folders; } cases[] = {
        {"every folder, every setting present", Product(AllSettings()),
         {{INT_MIN, L""}, {-1, L""}, {0, L"C:\\P"}, {1, L"C:\\P\\en-US"}, {2, L"C:\\P\\Help\\"},
          {3, L"C:\\P\\Help\\en-US"}, {4, L"C:\\P\\Sample"}, {5, L"C:\\P\\Sample\\en-US"},
          {6, L"S:\\RoamableRootFolder"}, {7, L"S:\\RoamableRootFolderLang"}, {8, L"S:\\LocalRootFolder"},
          {9, L"S:\\LocalRootFolderLang"}, {10, L"S:\\VeltraneSharedFolder"}, {11, L"S:\\VeltraneSharedFolderLang"},
          {12, L"S:\\AllUsersFolder"}, {13, L"S:\\GraphicsCacheFolder"}, {14, L"C:\\P\\UserDataCache"},
          {15, L"C:\\P\\UserDataCache\\en-US"}, {16, L"S:\\SandboxCrashSaveFolder"}, {17, L"S:\\SupportFolder"},
          {18, L"S:\\SupportFolderLang"}, {19, L""}, {INT_MAX, L""}}},
        {"missing settings: only the two roots fall back", Product(),
         {{6, L"C:\\P"}, {8, L"C:\\P"}, {7, L""}, {9, L""}, {10, L""}, {11, L""}, {12, L""}, {13, L""},
          {16, L""}, {17, L""}, {18, L""}}},
        {"root setting of 2048 falls back", Product(Settings({{"LocalRootFolder", Xs(2048)}})), {{8, L"C:\\P"}}},
        {"no language: nothing below R, not even R", Product(Merge(Settings({{"AllUsersFolder", "S:\\A"}}), Lang(""))),
         {{0, L""}, {1, L""}, {4, L""}, {5, L""}, {14, L""}, {15, L""}, {6, L""}, {8, L""}, {12, L"S:\\A"},
          {2, L"C:\\P\\Help\\"}, {3, L"C:\\P\\Help\\"}}},
        {"no resource directory", Product({{"resDir", ""}}), {{0, L""}, {4, L""}, {6, L""}, {2, L"C:\\P\\Help\\"}}},
        {"R with a closing separator", Product({{"resDir", "C:\\P\\"}}),
         {{0, L"C:\\P\\"}, {1, L"C:\\P\\en-US"}, {4, L"C:\\P\\Sample"}, {5, L"C:\\P\\Sample\\en-US"},
          {15, L"C:\\P\\UserDataCache\\en-US"}, {8, L"C:\\P\\"}}},
        {"other separator only in the join", Product({{"pathSeparator", "/"}}),
         {{1, L"C:\\P/en-US"}, {4, L"C:\\P/Sample"}, {5, L"C:\\P/Sample\\en-US"},
          {15, L"C:\\P/UserDataCache\\en-US"}, {2, L"C:\\P\\Help\\"}, {3, L"C:\\P\\Help\\/en-US"}}},
        {"language of 256 characters counts as none", Product(Lang(Xs(256))), {{0, L""}, {1, L""}, {14, L""}}},
        // "Sample\" and "UserDataCache\" plus the language must fit 64 characters.
        {"language of 57 characters", Product(Lang(Xs(57))), {{5, L""}, {15, L""}, {4, L"C:\\P\\Sample"}}},
        {"default help file", Product(Merge(Settings({{"DefaultHelpFileName", "main.chm"}}), Help(""))),
         {{2, L"C:\\P\\Help\\"}, {3, L"C:\\P\\Help\\en-US"}}},
        {"help file without a directory", Product(Help("main.chm")), {{2, L""}, {3, L""}}},
        {"help path cut at the backslash, not the separator",
         Product(Merge(Help("C:\\P/Help/main.chm"), {{"pathSeparator", "/"}})), {{2, L"C:\\"}}},
        {"help path of 1024 characters", Product(Help("C:\\" + Xs(1021))), {{2, L""}, {3, L""}}},
    };
    for (const auto& c : cases) {
        INFO(c.name);
        REQUIRE(0u == InitProduct(c.config));
        for (const auto& [value, expected] : c.folders) ExpectFolder(value, expected);
    }
}

TEST_CASE("ProductXFoldPath.ReportsOneOrZero") {
    const auto N = kNullBuffer;
    const struct { const char* name; json config; int folder; size_t capacity; Filled expected; } cases[] = {
        {"language below R", Product(), 1, 64, {1, L"C:\\P\\en-US"}},
        {"folder not below R gives R", Product(), 12, 64, {1, L"C:\\P"}},
        {"no language: 0, buffer holds R", Product(Lang("")), 4, 64, {0, L"C:\\P"}},
        {"no resource directory", Product({{"resDir", ""}}), 0, 64, {}},
        {"R, separator, sub-folder and NUL fit exactly", Product(), 4, 12, {1, L"C:\\P\\Sample"}},
        {"null buffer, sub-folder refused", Product(), 4, N, {}},
    };
    for (const auto& c : cases) {
        INFO(c.name);
        REQUIRE(0u == InitProduct(c.config));
        const auto get = [&](wchar_t* b, size_t n) { return tvudGetProductXFoldPath(b, n, Folders(c.folder)); };
        CHECK(c.expected == Fill(get, c.capacity));
    }
}

TEST_CASE("FolderExports.UserDataCacheLangPathXRootFoldPathAndWideCapacities") {
    REQUIRE(0u == InitProduct(Product()));
    // Capacities cross 32 bits unchanged: 2^32 + 2 is not a capacity of 2.
    const auto wide = [](wchar_t* b, size_t) { return tvudGetSpecialFolder(Folders(0), b, (size_t{1} << 32) + 2); };
    CHECK((Filled{5, L"C:\\P"}) == Fill(wide, 5));
    // Both paths, 18 and 24 characters; the result is the second's.
    wchar_t first[32] = {};
    const auto get = [&](wchar_t* second, size_t size) { return GetTRLVUserDataCacheLangPath(first, second, size); };
    CHECK((Filled{25, L"C:\\P\\UserDataCache\\en-US"}) == Fill(get, 25));
    CHECK(std::wstring(L"C:\\P\\UserDataCache") == first);
}
