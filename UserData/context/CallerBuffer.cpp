#include "CallerBuffer.h"

#include <cstdint>
#include <cwchar>

namespace userdata {

unsigned int CopyToCallerBuffer(const wchar_t* source, wchar_t* buffer, std::size_t capacity) {
    if (source == nullptr || source[0] == L'\0') return 0;
    return CopyToCallerBuffer(source, std::wcslen(source), buffer, capacity);
}

unsigned int CopyToCallerBuffer(const wchar_t* source, std::size_t sourceLength, wchar_t* buffer,
                                std::size_t capacity) {
    if (source == nullptr || sourceLength == 0) return 0;
    // Lengths cross the interface as unsigned 32-bit counts.
    const auto length = static_cast<std::uint32_t>(sourceLength);
    if (buffer == nullptr || capacity == 0) return length + 1;
    if (length >= capacity) return 0;
    std::wmemcpy(buffer, source, length + 1);
    return length + 1;
}

unsigned int CopyToCallerBuffer(std::initializer_list<std::wstring_view> pieces, wchar_t* buffer,
                                std::size_t capacity) {
    std::size_t sourceLength = 0;
    for (const std::wstring_view piece : pieces) sourceLength += piece.size();
    if (sourceLength == 0) return 0;
    const auto length = static_cast<std::uint32_t>(sourceLength);
    if (buffer == nullptr || capacity == 0) return length + 1;
    if (length >= capacity) return 0;
    for (const std::wstring_view piece : pieces) buffer = std::wmemcpy(buffer, piece.data(), piece.size()) + piece.size();
    *buffer = L'\0';
    return length + 1;
}

}  // namespace userdata
