// Indirect string references "@library,-id": the parse, the load from a real
// resource library (test_strings.dll, beside this program), the caller's
// buffer on every outcome, and the library released after every call.
#include <gtest/gtest.h>

#include <climits>

#include <windows.h>

#include <UserData.h>
#include <names/IndirectString.h>

#include "support/BufferCall.h"

using testing_support::Fill;
using testing_support::Filled;

namespace {

TEST(ParseIndirectString, ReferenceRules) {
    using K = userdata::IndirectStringKind;
    const std::wstring path259(259, L'p'), id260 = std::wstring(259, L'0') + L"7";
    const struct { const char* name; std::wstring source; K kind; std::wstring library; unsigned int id; } cases[] = {
        {"reference", L"@res.dll,-123", K::Reference, L"res.dll", 123},
        {"leading zeros", L"@C:\\a b\\r.dll,-0042", K::Reference, L"C:\\a b\\r.dll", 42},
        {"id beyond 16 bits kept whole", L"@r,-65536", K::Reference, L"r", 65536},
        {"largest unsigned int", L"@r,-4294967295", K::Reference, L"r", UINT_MAX},
        {"one past it saturates", L"@r,-4294967296", K::Reference, L"r", UINT_MAX},
        {"lead not first", L" @r.dll,-123", K::PlainText, L"", 0},
        {"comma without sign", L"@r.dll,123", K::PlainText, L"", 0},
        {"nothing after separator", L"@r.dll,-", K::PlainText, L"", 0},
        {"plus after separator", L"@r.dll,-+1", K::PlainText, L"", 0},
        {"trailing space", L"@r.dll,-1 ", K::PlainText, L"", 0},
        {"non-ASCII digit", L"@r.dll,-1\xFF11", K::PlainText, L"", 0},
        {"library path holding the separator", L"@a,-b.dll,-123", K::PlainText, L"", 0},
        // The work buffers hold 259 characters and the NUL.
        {"path of 259 fits", L"@" + path259 + L",-1", K::Reference, path259, 1},
        {"path of 260 does not", L"@" + path259 + L"p,-1", K::OversizedReference, L"", 0},
        {"id text of 259 fits", L"@r,-" + id260.substr(1), K::Reference, L"r", 7},
        {"id text of 260 does not", L"@r,-" + id260, K::OversizedReference, L"", 0},
        {"long id with a letter is plain", L"@r,-" + id260 + L"x", K::PlainText, L"", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto parsed = userdata::ParseIndirectString(c.source.c_str());
        EXPECT_EQ(c.kind, parsed.kind);
        if (c.kind == K::Reference) {
            EXPECT_EQ(c.library, parsed.library);
            EXPECT_EQ(c.id, parsed.id);
        }
    }
}

bool StringLibraryLoaded() { return GetModuleHandleW(L"test_strings.dll") != nullptr; }

TEST(LoadMUIString, EveryOutcome) {
    ASSERT_FALSE(StringLibraryLoaded());
    // Id 123 is "Trelvix drawing", 200 a text of 300 characters, 124 absent
    // and 125 empty. A failure with a buffer leaves it an empty string.
    const std::wstring lib = L"@test_strings.dll,-";
    std::wstring cut;
    for (int i = 0; i < 26; ++i) cut += L"0123456789";
    cut.resize(259);
    const auto N = testing_support::kNullBuffer;
    const struct { const char* name; std::wstring source; size_t capacity; Filled expected; } cases[] = {
        {"exact fit", lib + L"123", 16, {16, L"Trelvix drawing"}},
        {"one short", lib + L"123", 15, {0, L""}},
        {"size query", lib + L"123", N, {16, {}}},
        {"size query through size 0", lib + L"123", 0, {16, {}}},
        {"long string cut to 259", lib + L"200", 260, {260, cut}},
        {"long string size query", lib + L"200", N, {260, {}}},
        {"cut string does not fit 259", lib + L"200", 259, {0, L""}},
        {"id absent from its block", lib + L"124", 260, {0, L""}},
        {"id written empty", lib + L"125", 260, {0, L""}},
        {"library cannot be loaded", L"@C:\\no\\such\\library.dll,-123", 260, {0, L""}},
        // Too long for the work buffers, yet a reference: not shown as text.
        {"oversized library path", L"@" + std::wstring(300, L'x') + L",-123", 400, {0, L""}},
        {"plain text", L"@a,-b.dll,-123", 64, {15, L"@a,-b.dll,-123"}},
        {"size - 1 characters fit", L"abcd", 5, {5, L"abcd"}},
        {"size characters do not", L"abcd", 4, {0, L""}},
        {"plain size query", L"abcd", N, {5, {}}},
        {"empty source", L"", 64, {0, L""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.expected, Fill([&](wchar_t* b, size_t n) { return tvudLoadMUIString(c.source.c_str(), b, n); },
                                   c.capacity));
        EXPECT_FALSE(StringLibraryLoaded()) << "the library must be released";
    }
    EXPECT_EQ((Filled{0, L""}), Fill([](wchar_t* b, size_t n) { return tvudLoadMUIString(nullptr, b, n); }, 8));
}

TEST(LoadMUIString, ReleasesOnlyItsOwnReference) {
    HMODULE held = LoadLibraryW(L"test_strings.dll");
    ASSERT_NE(nullptr, held);
    wchar_t buffer[260];
    EXPECT_EQ(16u, tvudLoadMUIString(L"@test_strings.dll,-123", buffer, 260));
    EXPECT_EQ(0u, tvudLoadMUIString(L"@test_strings.dll,-124", buffer, 260));
    EXPECT_TRUE(StringLibraryLoaded()) << "the caller's own reference must survive";
    FreeLibrary(held);
    EXPECT_FALSE(StringLibraryLoaded());
}

}  // namespace
