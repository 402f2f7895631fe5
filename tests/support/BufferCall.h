// One call of a getter that fills a caller buffer, made with a GuardedBuffer
// and reduced to a value, so that a table row states the whole outcome.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <ostream>
#include <string>

namespace testing_support {

// A capacity that stands for a null buffer. It is passed with a non-zero
// size, so a getter that tests only the size writes through the null pointer.
inline constexpr std::size_t kNullBuffer = static_cast<std::size_t>(-1);

// The result, and the buffer's text afterwards: none when not one character
// of the buffer was written.
struct Filled {
    unsigned int result = 0;
    std::optional<std::wstring> text;
};
bool operator==(const Filled& a, const Filled& b);
void PrintTo(const Filled& filled, std::ostream* out);

// Calls `get` with a buffer of `capacity` characters; a write before or past
// the buffer fails the test.
Filled Fill(const std::function<unsigned int(wchar_t*, std::size_t)>& get, std::size_t capacity);

}  // namespace testing_support
