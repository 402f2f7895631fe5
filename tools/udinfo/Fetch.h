// Turns the library's buffer getters into strings, the way a careful host
// calls them: a size query first, then a buffer of exactly that size.
#pragma once

#include <string>

namespace udinfo {

using BufferGetter = unsigned int (*)(wchar_t*, unsigned long);

std::wstring Fetch(BufferGetter getter);
std::string ToUtf8(const std::wstring& text);
std::wstring FromUtf8(const std::string& text);

}  // namespace udinfo
