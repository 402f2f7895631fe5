// The DLL's export table: exactly the names of UserData/UserData.exports,
// the list hosts link against and docs/exports.md shows, and the two
// language names at one address. (That msi.dll is not imported shows in
// install_test.cpp's FreshProcess.)
#include "support/TestSupport.h"

// The first field of every line of the export list that is not a comment.
static std::vector<std::string> ExpectedExports() {
    std::vector<std::string> names;
    std::ifstream list(USERDATA_EXPORTS_LIST);
    for (std::string line; std::getline(list, line);)
        if (!line.empty() && line[0] != '#') names.push_back(line.substr(0, line.find('\t')));
    return names;
}

TEST(UserDataImage, ExportsExactlyTheExpectedNames) {
    const userdata::UniqueModule module(LoadLibraryW(L"UserData.dll"));
    ASSERT_TRUE(module);
    const auto* base = reinterpret_cast<const unsigned char*>(module.get());
    const auto at = [base](DWORD rva) { return base + rva; };
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(at(dos->e_lfanew));
    const auto* table = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(
        at(headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT].VirtualAddress));
    const auto* names = reinterpret_cast<const DWORD*>(at(table->AddressOfNames));
    std::vector<std::string> exported;
    for (DWORD i = 0; i < table->NumberOfNames; ++i) exported.emplace_back(reinterpret_cast<const char*>(at(names[i])));
    const auto expected = ExpectedExports();
    ASSERT_EQ(30u, expected.size()) << "thirty export names, whatever the list says";
    EXPECT_THAT(exported, testing::UnorderedElementsAreArray(expected));
    EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(module.get(), "tvudGetProductUILanguage")),
              reinterpret_cast<void*>(GetProcAddress(module.get(), "_Z24tvudGetProductUALanguagev")));
}
