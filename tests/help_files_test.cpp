// Help file names: the profile's choice, the product default, and the
// context-help file beside the help file.
#include <gtest/gtest.h>

#include <UserData.h>

#include "support/GuardedBuffer.h"
#include "support/ProductConfig.h"

using nlohmann::json;
using testing_support::GuardedBuffer;
using testing_support::InitProduct;

namespace {

json Product(json general, const char* resDir = "C:\\P", const char* defaultName = "main.chm") {
    json config = {{"resDir", resDir},
                   {"productCultureSpecificRootName", "Software\\V\\Trelvix\\R1\\TRLV-1"},
                   {"profiles", {{"General", std::move(general)}}}};
    if (defaultName) config["productSettings"][""] = {{{"values", {{"DefaultHelpFileName", defaultName}}}}};
    return config;
}

struct HelpCase {
    const char* name;
    json config;
    std::wstring expected;  // empty: the call gives 0
    bool fromProfile;       // result is length + 1, else length
};

TEST(HelpFileName, SourceOrderAndResult) {
    const HelpCase cases[] = {
        {"TRLVHELP wins over HELP", Product({{"TRLVHELP", "x:\\t.chm"}, {"HELP", "y:\\h.chm"}}), L"x:\\t.chm", true},
        {"TRLVHELP need not be a path", Product({{"TRLVHELP", "just text"}}), L"just text", true},
        {"HELP when TRLVHELP is empty", Product({{"TRLVHELP", ""}, {"HELP", "y:\\h.chm"}}), L"y:\\h.chm", true},
        {"HELP when TRLVHELP is absent", Product({{"HELP", "y:\\h.chm"}}), L"y:\\h.chm", true},
        {"default path", Product(json::object()), L"C:\\P\\Help\\main.chm", false},
        {"default path, R with separator", Product(json::object(), "C:\\P\\"), L"C:\\P\\Help\\main.chm", false},
        {"default name missing names the folder", Product(json::object(), "C:\\P", nullptr), L"C:\\P\\Help\\", false},
        {"no resource directory", Product(json::object(), ""), L"", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(0u, InitProduct(c.config));
        GuardedBuffer buffer(260);
        const unsigned int result = GetHelpFileName(buffer.data(), 260);
        if (c.expected.empty()) {
            EXPECT_EQ(0u, result);
            continue;
        }
        const auto length = static_cast<unsigned int>(c.expected.size());
        EXPECT_EQ(c.fromProfile ? length + 1 : length, result);
        EXPECT_EQ(c.expected, buffer.text());
        // A size query always answers length + 1 and touches nothing.
        EXPECT_EQ(length + 1, GetHelpFileName(nullptr, 0));
    }
}

TEST(HelpFileName, ProfileValueCapacity) {
    ASSERT_EQ(0u, InitProduct(Product({{"HELP", "C:\\h.chm"}})));  // 8 characters
    GuardedBuffer exact(9), tooSmall(8);
    EXPECT_EQ(9u, GetHelpFileName(exact.data(), 9));
    EXPECT_EQ(L"C:\\h.chm", exact.text());
    EXPECT_EQ(0u, GetHelpFileName(tooSmall.data(), 8));
    EXPECT_TRUE(tooSmall.untouched());
}

TEST(HelpFileName, DefaultPathThatDoesNotFitGivesZero) {
    ASSERT_EQ(0u, InitProduct(Product(json::object())));  // C:\P\Help\main.chm, 18 characters
    GuardedBuffer exact(19), tooSmall(18), noRoomForR(4);
    EXPECT_EQ(18u, GetHelpFileName(exact.data(), 19));
    EXPECT_EQ(0u, GetHelpFileName(tooSmall.data(), 18));
    EXPECT_EQ(0u, GetHelpFileName(noRoomForR.data(), 4));
    EXPECT_TRUE(noRoomForR.untouched());
    EXPECT_TRUE(tooSmall.canariesIntact());
}

struct ContextCase {
    const char* name;
    json config;
    std::wstring expected;  // empty: 0
};

TEST(ContextFileName, BesideTheHelpFile) {
    json noHyphen = Product({{"HELP", "D:\\Docs\\H.chm"}});
    noHyphen["productCultureSpecificRootName"] = "Software\\V\\Trelvix\\R1\\TRLV";
    const ContextCase cases[] = {
        {"profile help file", Product({{"HELP", "D:\\Docs\\H.chm"}}), L"D:\\Docs\\TRLVCTXT.CHM"},
        {"default help file", Product(json::object()), L"C:\\P\\Help\\TRLVCTXT.CHM"},
        {"help file without a directory", Product({{"HELP", "H.chm"}}), L"TRLVCTXT.CHM"},
        {"no program name", noHyphen, L""},
        {"help path of 260 characters", Product({{"HELP", "C:\\" + std::string(257, 'h')}}), L""},
        {"no help file", Product(json::object(), ""), L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(0u, InitProduct(c.config));
        GuardedBuffer buffer(260);
        EXPECT_EQ(c.expected.size(), GetContextFileName(buffer.data(), 260));
        if (!c.expected.empty()) {
            EXPECT_EQ(c.expected, buffer.text());
        }
    }
}

TEST(ContextFileName, CallerBufferTooSmallGetsEmptyStringNotATruncatedPath) {
    ASSERT_EQ(0u, InitProduct(Product({{"HELP", "D:\\Docs\\H.chm"}})));  // D:\Docs\TRLVCTXT.CHM: 20
    GuardedBuffer exact(21), tooSmall(20);
    EXPECT_EQ(20u, GetContextFileName(exact.data(), 21));
    EXPECT_EQ(0u, GetContextFileName(tooSmall.data(), 20));
    EXPECT_EQ(L"", tooSmall.text());
    EXPECT_TRUE(tooSmall.canariesIntact());
    EXPECT_EQ(0u, GetContextFileName(nullptr, 0));
}

}  // namespace
