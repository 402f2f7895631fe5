// Indirect string references "@library,-id": the parse, the load from a real
// resource library (test_strings.dll, beside this program), the caller's
// buffer on every outcome, and the library released after every call.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include <windows.h>

#include <UserData.h>
#include <names/IndirectString.h>

#include "support/GuardedBuffer.h"

using testing_support::GuardedBuffer;
using userdata::IndirectStringKind;
using userdata::ParseIndirectString;

namespace {

const std::wstring kShort = L"Trelvix drawing";  // id 123
std::wstring LongString() {                       // id 200: 300 characters
    std::wstring text;
    for (int i = 0; i < 30; ++i) text += L"0123456789";
    return text;
}

struct ParseCase {
    const char* name;
    std::wstring source;
    IndirectStringKind kind;
    std::wstring library;
    unsigned int id;
};

void ExpectParse(const ParseCase& c) {
    SCOPED_TRACE(c.name);
    const auto parsed = ParseIndirectString(c.source.c_str());
    EXPECT_EQ(c.kind, parsed.kind);
    if (c.kind != IndirectStringKind::Reference) return;
    EXPECT_EQ(c.library, parsed.library);
    EXPECT_EQ(c.id, parsed.id);
}

// Plain texts the export shows unchanged are covered through the export below.
TEST(ParseIndirectString, ReferenceRules) {
    using K = IndirectStringKind;
    const ParseCase cases[] = {
        {"reference", L"@res.dll,-123", K::Reference, L"res.dll", 123},
        {"empty library path", L"@,-5", K::Reference, L"", 5},
        {"leading zeros", L"@C:\\a b\\r.dll,-0042", K::Reference, L"C:\\a b\\r.dll", 42},
        {"id beyond 16 bits kept whole", L"@r,-65536", K::Reference, L"r", 65536},
        {"largest unsigned int", L"@r,-4294967295", K::Reference, L"r", UINT_MAX},
        {"one past it saturates", L"@r,-4294967296", K::Reference, L"r", UINT_MAX},
        {"far past it saturates", L"@r,-99999999999999999999", K::Reference, L"r", UINT_MAX},
        {"lead not first", L" @r.dll,-123", K::PlainText, L"", 0},
        {"comma without sign", L"@r.dll,123", K::PlainText, L"", 0},
        {"plus after separator", L"@r.dll,-+1", K::PlainText, L"", 0},
        {"trailing space", L"@r.dll,-1 ", K::PlainText, L"", 0},
        {"non-ASCII digit", L"@r.dll,-1\xFF11", K::PlainText, L"", 0},
    };
    for (const auto& c : cases) ExpectParse(c);
}

TEST(ParseIndirectString, WorkBufferBounds) {
    using K = IndirectStringKind;
    const std::wstring path259(259, L'p'), path260(260, L'p');
    const std::wstring id259 = std::wstring(258, L'0') + L"7", id260 = std::wstring(259, L'0') + L"7";
    const ParseCase cases[] = {
        {"path of 259 fits", L"@" + path259 + L",-1", K::Reference, path259, 1},
        {"path of 260 does not", L"@" + path260 + L",-1", K::OversizedReference, L"", 0},
        {"id text of 259 fits", L"@r,-" + id259, K::Reference, L"r", 7},
        {"id text of 260 does not", L"@r,-" + id260, K::OversizedReference, L"", 0},
        {"long id with a letter is plain", L"@r,-" + id260 + L"x", K::PlainText, L"", 0},
    };
    for (const auto& c : cases) ExpectParse(c);
}

std::wstring ProgramDirectory() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring text = path;
    return text.substr(0, text.rfind(L'\\') + 1);
}

bool StringLibraryLoaded() { return GetModuleHandleW(L"test_strings.dll") != nullptr; }

constexpr size_t kNullBuffer = SIZE_MAX;  // capacity marker: pass no buffer at all

struct LoadCase {
    const char* name;
    std::wstring source;
    size_t capacity;        // kNullBuffer: null buffer with size 0
    unsigned int expected;  // result
    std::wstring text;      // buffer afterwards (real buffers only)
};

// Calls with a buffer preset to stale text, so that "left empty" is seen.
void Check(const LoadCase& c) {
    SCOPED_TRACE(c.name);
    if (c.capacity == kNullBuffer) {
        EXPECT_EQ(c.expected, tvudLoadMUIString(c.source.c_str(), nullptr, 0));
    } else {
        GuardedBuffer buffer(c.capacity);
        buffer.preset(L"old");
        EXPECT_EQ(c.expected, tvudLoadMUIString(c.source.c_str(), buffer.data(), c.capacity));
        EXPECT_EQ(c.text, buffer.text());
        EXPECT_TRUE(buffer.canariesIntact());
    }
    EXPECT_FALSE(StringLibraryLoaded()) << "the library must be released";
}

TEST(LoadMUIString, References) {
    ASSERT_FALSE(StringLibraryLoaded());
    const std::wstring byName = L"@test_strings.dll,-";
    const std::wstring byPath = L"@" + ProgramDirectory() + L"test_strings.dll,-";
    const std::wstring cut = LongString().substr(0, 259);
    const LoadCase cases[] = {
        {"by name", byName + L"123", 260, 16, kShort},
        {"by full path", byPath + L"123", 260, 16, kShort},
        {"leading zero in id", byName + L"0123", 260, 16, kShort},
        {"exact fit", byName + L"123", 16, 16, kShort},
        {"one short", byName + L"123", 15, 0, L""},
        {"size query", byName + L"123", kNullBuffer, 16, L""},
        {"long string cut to 259", byName + L"200", 260, 260, cut},
        {"long string size query", byName + L"200", kNullBuffer, 260, L""},
        {"cut string does not fit 259", byName + L"200", 259, 0, L""},
        {"id absent from its block", byName + L"124", 260, 0, L""},
        {"id without a block", byName + L"5000", 260, 0, L""},
        {"id written empty", byName + L"125", 260, 0, L""},
        {"absent id, size query", byName + L"124", kNullBuffer, 0, L""},
        {"library cannot be loaded", L"@C:\\no\\such\\library.dll,-123", 260, 0, L""},
        {"empty library path", L"@,-123", 260, 0, L""},
        // Too long for the work buffers, yet a reference: not shown as text.
        {"oversized library path", L"@" + std::wstring(300, L'x') + L",-123", 400, 0, L""},
    };
    for (const auto& c : cases) Check(c);
}

TEST(LoadMUIString, PlainText) {
    const LoadCase cases[] = {
        {"at sign without separator", L"@foo", 64, 5, L"@foo"},
        {"nothing after separator", L"@foo,-", 64, 7, L"@foo,-"},
        {"sign after separator", L"@foo,--1", 64, 9, L"@foo,--1"},
        {"space after separator", L"@foo,- 1", 64, 9, L"@foo,- 1"},
        {"letter after separator", L"@foo,-x", 64, 8, L"@foo,-x"},
        {"separator without at sign", L"test_strings.dll,-123", 64, 22, L"test_strings.dll,-123"},
        {"library path holding the separator", L"@a,-b.dll,-123", 64, 15, L"@a,-b.dll,-123"},
        {"size - 1 characters fit", L"abcd", 5, 5, L"abcd"},
        {"size characters do not", L"abcd", 4, 0, L""},
        {"size query", L"abcd", kNullBuffer, 5, L""},
        {"empty source", L"", 64, 0, L""},
        {"empty source, size query", L"", kNullBuffer, 0, L""},
    };
    for (const auto& c : cases) Check(c);
}

TEST(LoadMUIString, SizeQueryForms) {
    // A null buffer with a non-zero size, and a real buffer with size 0, are
    // size queries too; the real buffer is then not touched.
    EXPECT_EQ(5u, tvudLoadMUIString(L"abcd", nullptr, 2));
    EXPECT_EQ(16u, tvudLoadMUIString(L"@test_strings.dll,-123", nullptr, 2));
    GuardedBuffer buffer(4);
    EXPECT_EQ(5u, tvudLoadMUIString(L"abcd", buffer.data(), 0));
    EXPECT_EQ(16u, tvudLoadMUIString(L"@test_strings.dll,-123", buffer.data(), 0));
    EXPECT_TRUE(buffer.untouched());
    EXPECT_FALSE(StringLibraryLoaded());
}

TEST(LoadMUIString, NullSource) {
    GuardedBuffer buffer(8);
    buffer.preset(L"old");
    EXPECT_EQ(0u, tvudLoadMUIString(nullptr, buffer.data(), 8));
    EXPECT_EQ(L"", buffer.text());
    EXPECT_EQ(0u, tvudLoadMUIString(nullptr, nullptr, 0));
}

TEST(LoadMUIString, ReleasesOnlyItsOwnReference) {
    HMODULE held = LoadLibraryW(L"test_strings.dll");
    ASSERT_NE(nullptr, held);
    GuardedBuffer buffer(260);
    EXPECT_EQ(16u, tvudLoadMUIString(L"@test_strings.dll,-123", buffer.data(), 260));
    EXPECT_EQ(0u, tvudLoadMUIString(L"@test_strings.dll,-124", buffer.data(), 260));
    EXPECT_TRUE(StringLibraryLoaded()) << "the caller's own reference must survive";
    FreeLibrary(held);
    EXPECT_FALSE(StringLibraryLoaded());
}

}  // namespace
