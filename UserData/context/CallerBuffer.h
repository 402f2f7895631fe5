// The one way every getter hands a string to its caller.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

namespace userdata {

// Copies `source` and its NUL into `buffer` of `capacity` characters, by the
// caller-buffer convention and the out-parameter rule of UserData.h:
//   - empty source: 0, also for a size query;
//   - null buffer or capacity 0 (a size query): length + 1;
//   - length >= capacity: 0;
//   - otherwise copies and returns length + 1.
[[nodiscard]] unsigned int CopyToCallerBuffer(const wchar_t* source, wchar_t* buffer,
                                              std::size_t capacity);

// The same for a source whose length the caller already knows:
// source[length] is its NUL and no NUL comes before it. Spares the second
// scan of a path that was just put together.
[[nodiscard]] unsigned int CopyToCallerBuffer(const wchar_t* source, std::size_t length, wchar_t* buffer,
                                              std::size_t capacity);

// The same for a source in pieces, copied one after the other: a path whose
// parts are at hand is put together straight in the caller's buffer.
[[nodiscard]] unsigned int CopyToCallerBuffer(std::initializer_list<std::wstring_view> pieces, wchar_t* buffer,
                                              std::size_t capacity);

[[nodiscard]] inline unsigned int CopyToCallerBuffer(const std::wstring& source, wchar_t* buffer,
                                                     std::size_t capacity) {
    return CopyToCallerBuffer(source.c_str(), buffer, capacity);
}

}  // namespace userdata
