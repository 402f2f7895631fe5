// The robustness program's soak section: null string arguments through the
// DLL's exports. The getters on many threads, loads, re-initialisations and
// host threads are soaked by load_cycles.cpp, a host that does not link the
// DLL.
#include "support/TestSupport.h"

TEST_CASE("Soak.NullStringsAreAnsweredAsAbsent") {
    CHECK(0u == tvudSetUserProductRegistryRootKey(nullptr));
    CHECK(Filled{} == Fill([](auto b, auto n) { return GetProductSpecificFilePath(nullptr, b, DWORD(n)); }, 64));
    CHECK(Filled{} == Fill([](wchar_t* b, size_t n) { return tvudGetXRootFoldPath(nullptr, b, n); }, 64));
    CHECK((Filled{0, L""}) == Fill([](wchar_t* b, size_t n) { return tvudLoadMUIString(nullptr, b, n); }, 64));
    CHECK(unsigned(ERROR_INVALID_PARAMETER) == tvudRegSetString(HKEY_CURRENT_USER, L"Value", nullptr));
    CHECK_MESSAGE(0u == tvudInitProductParams(nullptr, nullptr), "a null product file selects the default");
}
