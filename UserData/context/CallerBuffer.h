// The one way every getter hands a string to its caller.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cwchar>
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
// parts are at hand is put together straight in the caller's buffer. Inline:
// the folder getters' answers come through here.
[[nodiscard]] inline unsigned int CopyToCallerBuffer(std::initializer_list<std::wstring_view> pieces,
                                                     wchar_t* buffer, std::size_t capacity) {
    std::size_t sourceLength = 0;
    for (const std::wstring_view piece : pieces) sourceLength += piece.size();
    if (sourceLength == 0) return 0;
    // Lengths cross the interface as unsigned 32-bit counts.
    const auto length = static_cast<std::uint32_t>(sourceLength);
    if (buffer == nullptr || capacity == 0) return length + 1;
    if (length >= capacity) return 0;
    for (const std::wstring_view piece : pieces) {
        std::wmemcpy(buffer, piece.data(), piece.size());
        buffer += piece.size();
    }
    *buffer = L'\0';
    return length + 1;
}

// A one-character piece (a separator), or no piece when the character is 0.
[[nodiscard]] inline std::wstring_view OptionalPiece(const wchar_t& character) {
    return {&character, character != 0 ? 1u : 0u};
}

[[nodiscard]] inline unsigned int CopyToCallerBuffer(const std::wstring& source, wchar_t* buffer,
                                                     std::size_t capacity) {
    return CopyToCallerBuffer(source.c_str(), buffer, capacity);
}

}  // namespace userdata
