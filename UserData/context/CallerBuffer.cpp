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

}  // namespace userdata
