#include "WindowsMessage.h"

#include <windows.h>

#include "common/Utf.h"

namespace udinfo {

std::string WindowsMessage(unsigned int status) {
    wchar_t text[1024];
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, status,
                                   0, text, 1024, nullptr);
    std::wstring message = n ? std::wstring(text, n) : L"unknown status";
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L'.'))
        message.pop_back();
    return userdata::WideToUtf8(message);
}

}  // namespace udinfo
