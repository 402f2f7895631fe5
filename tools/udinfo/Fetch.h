// Turns the library's buffer getters into strings, the way a careful host
// calls them: a size query first, then a buffer of exactly that size.
#pragma once

#include <cwchar>
#include <string>

#include <UserData.h>

namespace udinfo {

// `getter(buffer, size)` follows the caller-buffer convention; the answer is
// empty when it reports nothing.
template <typename Getter>
std::wstring Fetch(Getter getter) {
    const unsigned int needed = getter(nullptr, 0);
    if (needed == 0) return {};
    std::wstring value(needed, L'\0');
    if (getter(value.data(), needed) == 0) return {};
    value.resize(std::wcslen(value.c_str()));
    return value;
}

// The special folder's path, empty when it cannot be resolved.
inline std::wstring FolderPath(int value) {
    return Fetch([value](wchar_t* buffer, size_t size) {
        return tvudGetSpecialFolder(static_cast<TvUdSpecialFolder::Folders>(value), buffer, size);
    });
}

}  // namespace udinfo
