// The one conversion between UTF-8 and UTF-16 text, through the system's own
// converters. Ill-formed input never fails the call: each bad sequence comes
// out as U+FFFD, so text read from files and consoles is shown, not lost.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace userdata {

[[nodiscard]] inline std::wstring Utf8ToWide(std::string_view text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int chars = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(chars), L'\0');
    if (chars > 0) MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), chars);
    return wide;
}

[[nodiscard]] inline std::string WideToUtf8(std::wstring_view text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(bytes), '\0');
    if (bytes > 0) WideCharToMultiByte(CP_UTF8, 0, text.data(), size, narrow.data(), bytes, nullptr, nullptr);
    return narrow;
}

}  // namespace userdata
