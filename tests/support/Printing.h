// How the tests' values read in a failure message: wide text as UTF-8
// through the one conversion (doctest knows no wide strings), control
// characters and embedded NULs escaped; optionals and vectors element by
// element.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include <doctest/doctest.h>

#include "common/Utf.h"

namespace testing_support {

// L"text" in UTF-8, each character below U+0020 as \xNN.
inline std::string Quoted(const std::wstring& text) {
    std::string quoted = "L\"";
    for (const char c : userdata::WideToUtf8(text)) {
        char escaped[8] = {c, '\0'};
        if (static_cast<unsigned char>(c) < 0x20) std::snprintf(escaped, sizeof escaped, "\\x%02X", unsigned(c));
        quoted += escaped;
    }
    return quoted + '"';
}

}  // namespace testing_support

namespace doctest {

// Narrow text as text: doctest prints a char pointer as an address.
template <>
struct StringMaker<const char*> {
    static String convert(const char* text) { return text ? String("\"") + text + "\"" : String("(null)"); }
};

template <>
struct StringMaker<std::wstring> {
    static String convert(const std::wstring& text) { return testing_support::Quoted(text).c_str(); }
};

template <class T>
struct StringMaker<std::optional<T>> {
    static String convert(const std::optional<T>& value) { return value ? toString(*value) : String("untouched"); }
};

template <class T>
struct StringMaker<std::vector<T>> {
    static String convert(const std::vector<T>& items) {
        String text = "{";
        for (std::size_t i = 0; i < items.size(); ++i) text += String(i ? ", " : "") + toString(items[i]);
        return text + "}";
    }
};

}  // namespace doctest
