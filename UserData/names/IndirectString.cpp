#include "IndirectString.h"

#include <climits>
#include <cwchar>

namespace userdata {

namespace {

constexpr wchar_t kLead = L'@';

bool IsDecimalDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// The first ",-" at or after `text`, or null.
const wchar_t* FindSeparator(const wchar_t* text) {
    for (; *text != L'\0'; ++text) {
        if (text[0] == L',' && text[1] == L'-') return text;
    }
    return nullptr;
}

bool IsDigitsOnly(const wchar_t* text) {
    if (*text == L'\0') return false;
    for (; *text != L'\0'; ++text) {
        if (!IsDecimalDigit(*text)) return false;
    }
    return true;
}

// Decimal value of a digit string, saturated at UINT_MAX.
unsigned int DecimalValue(const wchar_t* digits) {
    unsigned int value = 0;
    for (; *digits != L'\0'; ++digits) {
        const unsigned int digit = static_cast<unsigned int>(*digits - L'0');
        if (value > (UINT_MAX - digit) / 10) return UINT_MAX;
        value = value * 10 + digit;
    }
    return value;
}

}  // namespace

IndirectString ParseIndirectString(const wchar_t* source) {
    IndirectString result;
    if (source[0] != kLead) return result;
    const wchar_t* const separator = FindSeparator(source + 1);
    if (separator == nullptr) return result;
    const wchar_t* const idText = separator + 2;
    if (!IsDigitsOnly(idText)) return result;

    const auto libraryLength = static_cast<std::size_t>(separator - (source + 1));
    if (libraryLength >= kResourceTextCapacity || std::wcslen(idText) >= kResourceTextCapacity) {
        result.kind = IndirectStringKind::OversizedReference;
        return result;
    }
    std::wmemcpy(result.library, source + 1, libraryLength);
    result.library[libraryLength] = L'\0';
    result.id = DecimalValue(idText);
    result.kind = IndirectStringKind::Reference;
    return result;
}

}  // namespace userdata
