// One call of a getter that fills a caller buffer, made with a guarded
// buffer and reduced to a value, so that a table row states the whole
// outcome. The buffer's last character touches a page with no access, so a
// write past the capacity faults at once; the characters before it are
// canaries, checked after the call.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>

#include "support/Printing.h"

namespace testing_support {

// A capacity that stands for a null buffer. It is passed with a non-zero
// size, so a getter that tests only the size writes through the null pointer.
inline constexpr std::size_t kNullBuffer = static_cast<std::size_t>(-1);

// The result, and the buffer's text afterwards (up to the first NUL, or all
// of it): none when not one character of the buffer was written.
struct Filled {
    unsigned int result = 0;
    std::optional<std::wstring> text;
    bool operator==(const Filled& other) const { return result == other.result && text == other.text; }
};

// Calls `get` with a guarded buffer of `capacity` characters.
inline Filled Fill(const std::function<unsigned int(wchar_t*, std::size_t)>& get, std::size_t capacity) {
    constexpr wchar_t kUnwritten = L'\xA5A5';
    constexpr std::size_t kPage = 4096;  // of every x86-64 Windows
    const std::size_t chars = capacity == kNullBuffer ? 0 : capacity;
    const std::size_t usable = (chars * sizeof(wchar_t) / kPage + 1) * kPage;  // one canary at least
    auto* base = static_cast<wchar_t*>(VirtualAlloc(nullptr, usable + kPage, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    DWORD old;
    if (!base || !VirtualProtect(base + usable / sizeof(wchar_t), kPage, PAGE_NOACCESS, &old))
        throw std::runtime_error("cannot reserve a guarded buffer");
    wchar_t* const end = base + usable / sizeof(wchar_t);
    wchar_t* const buffer = end - chars;
    std::fill(base, end, kUnwritten);
    Filled filled{get(capacity == kNullBuffer ? nullptr : buffer, capacity == kNullBuffer ? 100 : capacity), {}};
    CHECK_MESSAGE(std::all_of(base, buffer, [](wchar_t c) { return c == kUnwritten; }), "written before the buffer");
    if (std::any_of(buffer, end, [](wchar_t c) { return c != kUnwritten; }))
        filled.text = std::wstring(buffer, std::find(buffer, end, L'\0'));
    VirtualFree(base, 0, MEM_RELEASE);
    return filled;
}

}  // namespace testing_support

template <>
struct doctest::StringMaker<testing_support::Filled> {
    static String convert(const testing_support::Filled& filled) {
        return "{" + toString(filled.result) + ", " + toString(filled.text) + "}";
    }
};
