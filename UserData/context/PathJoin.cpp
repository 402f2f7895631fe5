#include "PathJoin.h"

#include <cwchar>

namespace userdata {

unsigned int AppendPathElement(wchar_t* directory, std::size_t length, std::wstring_view name,
                               std::size_t capacity) {
    if (const wchar_t separator = SeparatorAfter({directory, length})) {
        if (length + 1 >= capacity) return 0;
        directory[length++] = separator;
        directory[length] = L'\0';
    }
    if (length + name.size() >= capacity) {
        directory[0] = L'\0';
        return 0;
    }
    std::wmemcpy(directory + length, name.data(), name.size());
    directory[length + name.size()] = L'\0';
    return static_cast<unsigned int>(length + name.size());
}

}  // namespace userdata
