// The path join: separator rules and exact capacity boundaries.
#include <gtest/gtest.h>

#include <folders/PathJoin.h>

#include "support/GuardedBuffer.h"
#include "support/ProductConfig.h"

using testing_support::GuardedBuffer;
using userdata::AppendPathElement;

namespace {

struct JoinCase {
    const char* name;
    const char* separator;
    std::wstring directory;
    std::wstring element;
    size_t capacity;
    unsigned int expected;
    std::wstring after;  // buffer text afterwards
};

const JoinCase kCases[] = {
    {"separator inserted", "\\", L"C:\\P", L"Sample", 64, 11, L"C:\\P\\Sample"},
    {"no doubled separator", "\\", L"C:\\P\\", L"Sample", 64, 11, L"C:\\P\\Sample"},
    {"empty name closes the directory", "\\", L"C:\\P", L"", 64, 5, L"C:\\P\\"},
    {"name starting with a separator is kept", "\\", L"C:\\P\\", L"\\x", 64, 7, L"C:\\P\\\\x"},
    // Directory of length 4 without separator, name of length 6.
    {"capacity L+1: no room for the separator", "\\", L"C:\\P", L"Sample", 5, 0, L"C:\\P"},
    {"capacity L+2: no room for the name", "\\", L"C:\\P", L"Sample", 6, 0, L""},
    {"capacity L+N+1: NUL does not fit", "\\", L"C:\\P", L"Sample", 11, 0, L""},
    {"capacity L+N+2 fits exactly", "\\", L"C:\\P", L"Sample", 12, 11, L"C:\\P\\Sample"},
    {"ends with separator, exact fit", "\\", L"C:\\P\\", L"ab", 8, 7, L"C:\\P\\ab"},
    {"ends with separator, one short", "\\", L"C:\\P\\", L"ab", 7, 0, L""},
    // Only the platform separator counts.
    {"other separator is used", "/", L"/opt/p", L"Sample", 64, 13, L"/opt/p/Sample"},
    {"backslash is not the separator then", "/", L"C:\\P\\", L"x", 64, 7, L"C:\\P\\/x"},
    {"empty directory gets no separator", "\\", L"", L"name", 64, 4, L"name"},
};

TEST(AppendPathElement, SeparatorAndCapacityRules) {
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(0u, testing_support::InitProduct({{"pathSeparator", c.separator}}));
        GuardedBuffer buffer(c.capacity);
        buffer.preset(c.directory);
        EXPECT_EQ(c.expected, AppendPathElement(buffer.data(), c.element.c_str(), c.capacity));
        EXPECT_EQ(c.after, buffer.text());
        EXPECT_TRUE(buffer.canariesIntact());
    }
}

}  // namespace
