// The special folders: where each value comes from, its fallbacks, the fixed
// work sizes, and the exports built on the same rules.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <utility>
#include <vector>

#include <UserData.h>

#include "support/GuardedBuffer.h"
#include "support/ProductConfig.h"

using nlohmann::json;
using testing_support::GuardedBuffer;
using testing_support::InitProduct;
using TvUdSpecialFolder::Folders;

namespace {

std::string Xs(size_t count) { return std::string(count, 'x'); }
std::wstring Wide(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

json Lang(const std::string& language) { return {{"currentLanguageName", language}}; }
json Help(const std::string& file) { return {{"profiles", {{"General", {{"HELP", file}}}}}}; }
json Settings(json values) { return {{"productSettings", {{"", {{{"values", std::move(values)}}}}}}}; }

json Merge(json base, const json& changes) {
    base.merge_patch(changes);
    return base;
}

// R = C:\P, language en-US, help file C:\P\Help\main.chm, then `changes`.
json Product(const json& changes = json::object()) {
    return Merge(Merge(Help("C:\\P\\Help\\main.chm"), {{"resDir", "C:\\P"}, {"currentLanguageName", "en-US"}}),
                 changes);
}

json AllSettings() {
    json values = json::object();
    for (const char* name : {"RoamableRootFolder", "RoamableRootFolderLang", "LocalRootFolder", "LocalRootFolderLang",
                             "VeltraneSharedFolder", "VeltraneSharedFolderLang", "AllUsersFolder",
                             "GraphicsCacheFolder", "SandboxCrashSaveFolder", "SupportFolder", "SupportFolderLang"})
        values[name] = std::string("S:\\") + name;
    return Settings(values);
}

// Both forms of tvudGetSpecialFolder, the buffer form at its exact boundary.
void ExpectFolder(int value, const std::wstring& expected) {
    SCOPED_TRACE("folder " + std::to_string(value));
    const auto folder = static_cast<Folders>(value);
    EXPECT_EQ(expected, tvudGetSpecialFolder(folder));
    const unsigned int needed = expected.empty() ? 0 : static_cast<unsigned int>(expected.size() + 1);
    EXPECT_EQ(needed, tvudGetSpecialFolder(folder, nullptr, 0));
    GuardedBuffer fits(expected.size() + 1);
    EXPECT_EQ(needed, tvudGetSpecialFolder(folder, fits.data(), fits.capacity()));
    EXPECT_TRUE(fits.canariesIntact());
    if (needed == 0) {
        EXPECT_TRUE(fits.untouched());
        return;
    }
    EXPECT_EQ(expected, fits.text());
    GuardedBuffer oneShort(expected.size());
    EXPECT_EQ(0u, tvudGetSpecialFolder(folder, oneShort.data(), oneShort.capacity()));
    EXPECT_TRUE(oneShort.untouched());
}

struct FolderCase {
    const char* name;
    json config;
    std::vector<std::pair<int, std::wstring>> folders;  // value -> expected path
};

TEST(SpecialFolder, ResolvesEveryValue) {
    const FolderCase cases[] = {
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
        {"root setting of 2047 characters", Product(Settings({{"LocalRootFolder", Xs(2047)}})),
         {{8, Wide(Xs(2047))}}},
        {"root setting of 2048 characters falls back", Product(Settings({{"LocalRootFolder", Xs(2048)}})),
         {{8, L"C:\\P"}}},
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
        {"language of 255 characters", Product(Lang(Xs(255))), {{0, L"C:\\P"}, {1, L"C:\\P\\" + Wide(Xs(255))}}},
        {"language of 256 characters counts as none", Product(Lang(Xs(256))), {{0, L""}, {1, L""}, {14, L""}}},
        // "Sample\" and "UserDataCache\" plus the language must fit 64 characters.
        {"language of 56 characters", Product(Lang(Xs(56))),
         {{5, L"C:\\P\\Sample\\" + Wide(Xs(56))}, {15, L""}, {14, L"C:\\P\\UserDataCache"}}},
        {"language of 57 characters", Product(Lang(Xs(57))), {{5, L""}, {4, L"C:\\P\\Sample"}}},
        {"language of 49 characters", Product(Lang(Xs(49))), {{15, L"C:\\P\\UserDataCache\\" + Wide(Xs(49))}}},
        {"default help file", Product(Merge(Settings({{"DefaultHelpFileName", "main.chm"}}), Help(""))),
         {{2, L"C:\\P\\Help\\"}, {3, L"C:\\P\\Help\\en-US"}}},
        {"help file without a directory", Product(Help("main.chm")), {{2, L""}, {3, L""}}},
        {"help path cut at the backslash, not the separator",
         Product(Merge(Help("C:\\P/Help/main.chm"), {{"pathSeparator", "/"}})), {{2, L"C:\\"}}},
        {"help path of 1023 characters", Product(Help("C:\\" + Xs(1020))), {{2, L"C:\\"}}},
        {"help path of 1024 characters", Product(Help("C:\\" + Xs(1021))), {{2, L""}, {3, L""}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(0u, InitProduct(c.config));
        for (const auto& [value, expected] : c.folders) ExpectFolder(value, expected);
    }
}

struct ProductXCase {
    const char* name;
    json config;
    int folder;
    size_t capacity;  // 0: null buffer
    unsigned int expected;
    const wchar_t* after;  // buffer text afterwards; nullptr: untouched
};

TEST(ProductXFoldPath, ReportsOneOrZero) {
    const ProductXCase cases[] = {
        {"R itself", Product(), 0, 64, 1, L"C:\\P"},
        {"language below R", Product(), 1, 64, 1, L"C:\\P\\en-US"},
        {"folder not below R gives R", Product(), 12, 64, 1, L"C:\\P"},
        {"value outside the enumeration gives R", Product(), 19, 64, 1, L"C:\\P"},
        {"no language: 0, buffer holds R", Product(Lang("")), 4, 64, 0, L"C:\\P"},
        {"no resource directory", Product({{"resDir", ""}}), 0, 64, 0, nullptr},
        {"R does not fit", Product(), 0, 4, 0, nullptr},
        {"no room for the separator", Product(), 4, 5, 0, L"C:\\P"},
        {"no room for the sub-folder", Product(), 4, 11, 0, L""},
        {"null buffer, R itself", Product(), 0, 0, 1, nullptr},
        {"null buffer, folder not below R", Product(), 6, 0, 1, nullptr},
        {"null buffer, sub-folder refused", Product(), 4, 0, 0, nullptr},
        {"null buffer still needs a language", Product(Lang("")), 0, 0, 0, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(0u, InitProduct(c.config));
        GuardedBuffer buffer(c.capacity == 0 ? 1 : c.capacity);
        wchar_t* data = c.capacity == 0 ? nullptr : buffer.data();
        EXPECT_EQ(c.expected, tvudGetProductXFoldPath(data, c.capacity, static_cast<Folders>(c.folder)));
        if (c.after) {
            EXPECT_EQ(c.after, buffer.text());
        } else {
            EXPECT_TRUE(buffer.untouched());
        }
        EXPECT_TRUE(buffer.canariesIntact());
    }
}

TEST(XRootFoldPath, NullNameIsRefused) {
    ASSERT_EQ(0u, InitProduct(Product(AllSettings())));
    EXPECT_EQ(0u, tvudGetXRootFoldPath(nullptr, nullptr, 0));
}

TEST(UserDataCacheLangPath, FillsBothAndReportsTheLanguageFolder) {
    ASSERT_EQ(0u, InitProduct(Product()));
    const std::wstring cache = L"C:\\P\\UserDataCache", cacheLang = cache + L"\\en-US";
    const auto size = static_cast<unsigned long>(cacheLang.size() + 1);
    GuardedBuffer first(size), second(size);
    EXPECT_EQ(size, GetTRLVUserDataCacheLangPath(first.data(), second.data(), size));
    EXPECT_EQ(cache, first.text());
    EXPECT_EQ(cacheLang, second.text());

    // Room for the first path only: it is filled, yet the call reports 0.
    GuardedBuffer onlyFirst(cache.size() + 1), notSecond(cache.size() + 1);
    EXPECT_EQ(0u, GetTRLVUserDataCacheLangPath(onlyFirst.data(), notSecond.data(), cache.size() + 1));
    EXPECT_EQ(cache, onlyFirst.text());
    EXPECT_TRUE(notSecond.untouched());
    EXPECT_EQ(size, GetTRLVUserDataCacheLangPath(nullptr, nullptr, 0));
}

}  // namespace
