// Help file names: the profile's choice, the product default, and the
// context-help file beside the help file.
#include <gtest/gtest.h>

#include <UserData.h>

#include "support/BufferCall.h"
#include "support/ProductConfig.h"

using nlohmann::json;
using testing_support::Fill;
using testing_support::Filled;
using testing_support::InitProduct;

namespace {

json Product(json general, const char* resDir = "C:\\P", const char* defaultName = "main.chm") {
    json config = {{"resDir", resDir},
                   {"productCultureSpecificRootName", "Software\\V\\Trelvix\\R1\\TRLV-1"},
                   {"profiles", {{"General", std::move(general)}}}};
    if (defaultName) config["productSettings"][""] = {{{"values", {{"DefaultHelpFileName", defaultName}}}}};
    return config;
}

TEST(HelpFileName, SourceOrderAndResult) {
    // A profile's path gives length + 1, the default path its length; a size
    // query answers length + 1 for both and touches nothing.
    const auto N = testing_support::kNullBuffer;
    const json none = json::object(), profile = Product({{"HELP", "C:\\h.chm"}}), byDefault = Product(none);
    const struct { const char* name; json config; size_t capacity; Filled expected; } cases[] = {
        {"TRLVHELP wins over HELP", Product({{"TRLVHELP", "x:\\t.chm"}, {"HELP", "y:\\h"}}), 260, {9, L"x:\\t.chm"}},
        {"TRLVHELP need not be a path", Product({{"TRLVHELP", "just text"}}), 260, {10, L"just text"}},
        {"HELP when TRLVHELP is empty", Product({{"TRLVHELP", ""}, {"HELP", "y:\\h.chm"}}), 260, {9, L"y:\\h.chm"}},
        {"profile path, exact fit", profile, 9, {9, L"C:\\h.chm"}},
        {"profile path, one short", profile, 8, {}},
        {"profile path, size query", profile, N, {9, {}}},
        {"default path, exact fit", byDefault, 19, {18, L"C:\\P\\Help\\main.chm"}},
        {"default path, one short: left empty", byDefault, 18, {0, L""}},
        {"default path, no room for R", byDefault, 4, {}},
        {"default path, size query", byDefault, N, {19, {}}},
        {"default path, R with separator", Product(none, "C:\\P\\"), 260, {18, L"C:\\P\\Help\\main.chm"}},
        {"default name missing names the folder", Product(none, "C:\\P", nullptr), 260, {10, L"C:\\P\\Help\\"}},
        {"no resource directory", Product(none, ""), 260, {}},
        {"no resource directory, size query", Product(none, ""), N, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(0u, InitProduct(c.config));
        EXPECT_EQ(c.expected, Fill(GetHelpFileName, c.capacity));
    }
}

TEST(ContextFileName, BesideTheHelpFile) {
    const json docs = Product({{"HELP", "D:\\Docs\\H.chm"}});  // D:\Docs\TRLVCTXT.CHM: 20 characters
    json noHyphen = docs;
    noHyphen["productCultureSpecificRootName"] = "Software\\V\\Trelvix\\R1\\TRLV";
    const struct { const char* name; json config; size_t capacity; Filled expected; } cases[] = {
        {"profile help file", docs, 21, {20, L"D:\\Docs\\TRLVCTXT.CHM"}},
        {"too small a buffer gets an empty string, never a cut path", docs, 20, {0, L""}},
        {"no size query", docs, testing_support::kNullBuffer, {}},
        {"default help file", Product(json::object()), 260, {22, L"C:\\P\\Help\\TRLVCTXT.CHM"}},
        {"help file without a directory", Product({{"HELP", "H.chm"}}), 260, {12, L"TRLVCTXT.CHM"}},
        {"no program name", noHyphen, 260, {}},
        {"help path of 260 characters", Product({{"HELP", "C:\\" + std::string(257, 'h')}}), 260, {}},
        {"no help file", Product(json::object(), ""), 260, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(0u, InitProduct(c.config));
        EXPECT_EQ(c.expected, Fill(GetContextFileName, c.capacity));
    }
}

}  // namespace
