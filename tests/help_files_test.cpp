// Help file names: the profile's choice, the product default, and the
// context-help file beside the help file.
#include "support/TestSupport.h"

static json Product(json general, const char* resDir = "C:\\P", const char* defaultName = "main.chm") {
    json config = {{"resDir", resDir},
                   {"productCultureSpecificRootName", "Software\\V\\Trelvix\\R1\\TRLV-1"},
                   {"profiles", {{"General", std::move(general)}}}};
    if (defaultName) config["productSettings"][""] = {{{"values", {{"DefaultHelpFileName", defaultName}}}}};
    return config;
}

TEST_CASE("HelpFiles.SourceOrderAndResult") {
    // GetHelpFileName: a profile's path gives length + 1, the default path its
    // length; a size query answers length + 1 for both and touches nothing.
    // GetContextFileName: the context-help file beside the help file, or an
    // empty string, never a cut path; no size query.
    const auto N = kNullBuffer;
    const auto help = GetHelpFileName, context = GetContextFileName;
    const json none = json::object(), profile = Product({{"HELP", "C:\\h.chm"}}), byDefault = Product(none);
    const json docs = Product({{"HELP", "D:\\Docs\\H.chm"}});  // D:\Docs\TRLVCTXT.CHM: 20 characters
    json noHyphen = docs;
    noHyphen["productCultureSpecificRootName"] = "Software\\V\\Trelvix\\R1\\TRLV";
    const struct { const char* name; decltype(help) get; json config; size_t capacity; Filled expected; } cases[] = {
        {"TRLVHELP first", help, Product({{"TRLVHELP", "x:\\t.chm"}, {"HELP", "y:\\h"}}), 260, {9, L"x:\\t.chm"}},
        {"HELP next", help, Product({{"TRLVHELP", ""}, {"HELP", "y:\\h.chm"}}), 260, {9, L"y:\\h.chm"}},
        {"profile path, exact fit", help, profile, 9, {9, L"C:\\h.chm"}},
        {"profile path, one short", help, profile, 8, {}},
        {"profile path, size query", help, profile, N, {9, {}}},
        {"default path, exact fit", help, byDefault, 19, {18, L"C:\\P\\Help\\main.chm"}},
        {"default path, one short: left empty", help, byDefault, 18, {0, L""}},
        {"default path, no room for R", help, byDefault, 4, {}},
        {"default path, size query", help, byDefault, N, {19, {}}},
        {"no default name: the folder", help, Product(none, "C:\\P", nullptr), 260, {10, L"C:\\P\\Help\\"}},
        {"no resource directory", help, Product(none, ""), 260, {}},
        {"context file beside the profile's", context, docs, 21, {20, L"D:\\Docs\\TRLVCTXT.CHM"}},
        {"context file one short", context, docs, 20, {0, L""}},
        {"context file size query", context, docs, N, {}},
        {"context file beside the default", context, byDefault, 260, {22, L"C:\\P\\Help\\TRLVCTXT.CHM"}},
        {"help file without a folder", context, Product({{"HELP", "H.chm"}}), 260, {12, L"TRLVCTXT.CHM"}},
        {"no program name, no context file", context, noHyphen, 260, {}},
        {"help path of 260 characters", context, Product({{"HELP", "C:\\" + std::string(257, 'h')}}), 260, {}},
        {"no help file, no context file", context, Product(none, ""), 260, {}},
    };
    for (const auto& c : cases) {
        INFO(c.name);
        REQUIRE(0u == InitProduct(c.config));
        CHECK(c.expected == Fill(c.get, c.capacity));
    }
}
