// Indirect string references "@library,-id" resolved from a real resource
// library (test_strings.dll, beside this program): what counts as a
// reference, the fixed work sizes, the caller's buffer on every outcome, the
// library released after every call, and none of its code run.
#include "support/TestSupport.h"

#include <psapi.h>

// Whether test_strings.dll is mapped into this process, as a module or as
// resources only (which the loader's module list does not show).
static bool StringLibraryLoaded() {
    MEMORY_BASIC_INFORMATION region;
    for (const char* at = nullptr; VirtualQuery(at, &region, sizeof region);
         at = static_cast<const char*>(region.BaseAddress) + region.RegionSize) {
        wchar_t name[MAX_PATH];
        const DWORD n =
            region.Type == MEM_PRIVATE ? 0 : GetMappedFileNameW(GetCurrentProcess(), region.BaseAddress, name, MAX_PATH);
        if (n >= 16 && _wcsicmp(name + n - 16, L"test_strings.dll") == 0) return true;
    }
    return false;
}
static bool LibraryCodeRan() { return GetEnvironmentVariableW(L"USERDATA_TEST_LIBRARY_CODE_RAN", nullptr, 0) != 0; }

// test_strings.dll by its full path, made `chars` characters long with ".\"
// (and a doubled separator for an odd count).
static std::wstring StringLibraryPath(size_t chars) {
    std::wstring path = userdata::BesideThisProgram(L"");
    const size_t padding = chars - path.size() - std::size(L"test_strings.dll") + 1;
    for (size_t i = 0; i < padding / 2; ++i) path += L".\\";
    return path + std::wstring(padding % 2, L'\\') + L"test_strings.dll";
}

TEST_CASE("LoadMUIString.EveryOutcome") {
    SetEnvironmentVariableW(L"USERDATA_TEST_LIBRARY_CODE_RAN", nullptr);
    REQUIRE_FALSE(StringLibraryLoaded());
    // Id 123 is "Trelvix drawing", 200 a text of 300 characters, 124 absent.
    // A failure with a buffer leaves it an empty string; plain text comes
    // back unchanged. (Capacities: robustness_test.cpp.)
    const std::wstring lib = L"@test_strings.dll,-", drawing = L"Trelvix drawing";
    std::wstring cut;  // 259 of the 300 characters "0123456789012..."
    while (cut.size() < 259) cut += wchar_t(L'0' + cut.size() % 10);
    const std::wstring zeros(256, L'0'), longId = L"@r,-" + std::wstring(260, L'1') + L"x";
    const struct { const char* name; std::wstring source; size_t capacity; Filled expected; } cases[] = {
        {"leading zeros", lib + L"0123", 64, {16, drawing}},
        {"id beyond 32 bits saturates, never wraps", lib + L"4294967419", 64, {0, L""}},
        {"id text of 260 characters", lib + zeros + L"0123", 64, {0, L""}},
        {"library path of 259 characters", L"@" + StringLibraryPath(259) + L",-123", 64, {16, drawing}},
        {"library path of 260 characters", L"@" + StringLibraryPath(260) + L",-123", 64, {0, L""}},
        {"long string cut to 259", lib + L"200", 260, {260, cut}},
        {"id absent from its block", lib + L"124", 260, {0, L""}},
        {"library cannot be loaded", L"@C:\\no\\such\\library.dll,-123", 260, {0, L""}},
        {"oversized library path is no text either", L"@" + std::wstring(300, L'x') + L",-123", 400, {0, L""}},
        {"library path holding the separator", L"@a,-b.dll,-123", 64, {15, L"@a,-b.dll,-123"}},
        {"lead not first", L" " + lib + L"123", 64, {24, L" " + lib + L"123"}},
        {"comma without sign", L"@test_strings.dll,123", 64, {22, L"@test_strings.dll,123"}},
        {"nothing after the sign", lib, 64, {20, lib}},
        {"non-ASCII digit", lib + L"12\xFF13", 64, {23, lib + L"12\xFF13"}},
        {"long id with a letter", longId, 300, {266, longId}},
        {"empty source", L"", 64, {0, L""}},
    };
    for (const auto& c : cases) {
        INFO(c.name);
        CHECK(c.expected == Fill([&](wchar_t* b, size_t n) { return tvudLoadMUIString(c.source.c_str(), b, n); },
                                   c.capacity));
        CHECK_FALSE_MESSAGE(StringLibraryLoaded(), "the library must be released");
        CHECK_FALSE_MESSAGE(LibraryCodeRan(), "only the library's resources may be read");
    }
}

TEST_CASE("LoadMUIString.ReleasesOnlyItsOwnReference") {
    userdata::UniqueModule held(LoadLibraryW(L"test_strings.dll"));
    REQUIRE(held);
    wchar_t buffer[260];
    CHECK(16u == tvudLoadMUIString(L"@test_strings.dll,-123", buffer, 260));
    CHECK(0u == tvudLoadMUIString(L"@test_strings.dll,-124", buffer, 260));
    CHECK_MESSAGE(StringLibraryLoaded(), "the caller's own reference must survive");
}
