#include "CallerBuffer.h"

#include <cstdint>
#include <cwchar>

namespace userdata {

unsigned int CopyToCallerBuffer(std::initializer_list<std::wstring_view> source, wchar_t* buffer,
                                std::size_t capacity) {
    std::size_t sourceLength = 0;
    for (const std::wstring_view piece : source) sourceLength += piece.size();
    if (sourceLength == 0) return 0;
    // Lengths cross the interface as unsigned 32-bit counts.
    const auto length = static_cast<std::uint32_t>(sourceLength);
    if (buffer == nullptr || capacity == 0) return length + 1;
    if (length >= capacity) return 0;
    for (const std::wstring_view piece : source) {
        // An empty piece may have no storage at all: nothing to copy from.
        if (!piece.empty()) std::wmemcpy(buffer, piece.data(), piece.size());
        buffer += piece.size();
    }
    *buffer = L'\0';
    return length + 1;
}

}  // namespace userdata
