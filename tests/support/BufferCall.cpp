#include "BufferCall.h"

#include <gtest/gtest.h>

#include "GuardedBuffer.h"

namespace testing_support {

bool operator==(const Filled& a, const Filled& b) { return a.result == b.result && a.text == b.text; }

void PrintTo(const Filled& filled, std::ostream* out) {
    *out << filled.result << " with " << (filled.text ? ::testing::PrintToString(*filled.text) : "untouched");
}

Filled Fill(const std::function<unsigned int(wchar_t*, std::size_t)>& get, std::size_t capacity) {
    const bool null = capacity == kNullBuffer;
    GuardedBuffer buffer(null ? 1 : capacity);
    Filled filled{get(null ? nullptr : buffer.data(), null ? 100 : capacity), std::nullopt};
    EXPECT_TRUE(buffer.canariesIntact()) << "written before the buffer";
    if (!buffer.untouched()) filled.text = buffer.text();
    return filled;
}

}  // namespace testing_support
