#include "PathJoin.h"

#include <cwchar>

namespace userdata {

unsigned int AppendPathElement(wchar_t* directory, const wchar_t* name, std::size_t capacity) {
    return AppendPathElement(directory, name, std::wcslen(name), capacity);
}

unsigned int AppendPathElement(wchar_t* directory, const wchar_t* name, std::size_t nameLength,
                               std::size_t capacity) {
    std::size_t length = std::wcslen(directory);
    if (const wchar_t separator = SeparatorAfter({directory, length})) {
        if (length + 1 >= capacity) return 0;
        directory[length++] = separator;
        directory[length] = L'\0';
    }
    if (length + nameLength >= capacity) {
        directory[0] = L'\0';
        return 0;
    }
    std::wmemcpy(directory + length, name, nameLength + 1);
    return static_cast<unsigned int>(length + nameLength);
}

}  // namespace userdata
