// The one way every getter hands a string to its caller.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cwchar>
#include <initializer_list>
#include <string>
#include <string_view>

namespace userdata {

// Copies `source`, given in pieces copied one after the other, and a NUL
// into `buffer` of `capacity` characters, by the caller-buffer convention and
// the out-parameter rule of UserData.h:
//   - empty source: 0, also for a size query;
//   - null buffer or capacity 0 (a size query): length + 1;
//   - length >= capacity: 0;
//   - otherwise copies and returns length + 1.
// A path whose parts are at hand is so put together straight in the
// caller's buffer.
[[nodiscard]] unsigned int CopyToCallerBuffer(std::initializer_list<std::wstring_view> source, wchar_t* buffer,
                                              std::size_t capacity);

// The same for a C string, up to its NUL; a null source is empty.
[[nodiscard]] inline unsigned int CopyToCallerBuffer(const wchar_t* source, wchar_t* buffer, std::size_t capacity) {
    return CopyToCallerBuffer({source != nullptr ? std::wstring_view(source) : std::wstring_view()}, buffer, capacity);
}
// As a C string: up to its first NUL, as every caller reading it would.
[[nodiscard]] inline unsigned int CopyToCallerBuffer(const std::wstring& source, wchar_t* buffer, std::size_t capacity) {
    return CopyToCallerBuffer(source.c_str(), buffer, capacity);
}

// A one-character piece (a separator), or no piece when the character is 0:
// a separator found per call becomes a piece without an allocation, and
// with no static to hold it, as the getters run on many threads at once.
[[nodiscard]] inline std::wstring_view OptionalPiece(const wchar_t& character) {
    return {&character, character != 0 ? 1u : 0u};
}

}  // namespace userdata
