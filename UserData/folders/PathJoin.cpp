#include "PathJoin.h"

#include <cwchar>

#include "../platform/TvPal.h"

namespace userdata {

unsigned int AppendPathElement(wchar_t* directory, const wchar_t* name, std::size_t capacity) {
    return AppendPathElement(directory, name, std::wcslen(name), capacity);
}

unsigned int AppendPathElement(wchar_t* directory, const wchar_t* name, std::size_t nameLength,
                               std::size_t capacity) {
    const wchar_t separator = Veltrane::Trelvix::PAL::FileSystem::path_separator();
    std::size_t length = std::wcslen(directory);
    if (length > 0 && directory[length - 1] != separator) {
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
