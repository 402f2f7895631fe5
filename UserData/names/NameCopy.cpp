#include "NameCopy.h"

#include <cwchar>

namespace userdata {

unsigned int CopyName(std::wstring_view name, wchar_t* buffer, unsigned long size) {
    // A null buffer gets no size answer: these exports offer no size query.
    if (buffer == nullptr || name.size() >= size) return 0;
    std::wmemcpy(buffer, name.data(), name.size());
    buffer[name.size()] = L'\0';
    return static_cast<unsigned int>(name.size());
}

}  // namespace userdata
