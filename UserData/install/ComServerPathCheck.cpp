#include "ComServerPathCheck.h"

#include <objbase.h>

#include <string_view>
#include <vector>

#include "../registry/TvRegistryAccess.h"
#include "common/UniqueAny.h"

namespace userdata {

namespace {

// The product's main server; its registration is part of every installation.
constexpr CLSID kRequiredServerClass = {
    0x3F6B2D84, 0x9E15, 0x4C7A, {0x8B, 0x02, 0xD4, 0xA9, 0xC1, 0xE6, 0x5F, 0x38}};
// Servers of optional features, registered only when those are installed.
constexpr wchar_t kOptionalServerClass1[] = L"{5E3A9C41-7B20-4D8F-9A61-0C2F4B8E7D13}";
constexpr wchar_t kOptionalServerClass2[] = L"{A2D47F90-3C18-4E6B-B5D0-8F1E92C6A457}";

// "{3F6B2D84-...}"; empty only when COM could not allocate the text.
std::wstring RequiredServerClassText() {
    UniqueCoTaskMemString text;
    if (FAILED(StringFromCLSID(kRequiredServerClass, text.put()))) return {};
    return std::wstring(text.get());
}

// The text that the read delivered, up to its first NUL. The value may have
// changed since its length was asked for, so nothing past the characters
// the second read reports is looked at; a read that failed delivered nothing
// that can be vouched for.
bool ReadServerPath(TvRegistryAccess& key, std::wstring& path) {
    DWORD chars = 0;
    if (key.queryStringValue(nullptr, nullptr, &chars) != ERROR_SUCCESS) return false;
    // An empty value stored without even a terminator still needs a buffer
    // to read into.
    std::vector<wchar_t> buffer(chars > 0 ? chars : 1, L'\0');
    DWORD delivered = static_cast<DWORD>(buffer.size());
    if (key.queryStringValue(nullptr, buffer.data(), &delivered) != ERROR_SUCCESS) return false;
    std::wstring_view text(buffer.data(), delivered < buffer.size() ? delivered : buffer.size());
    path.assign(text.substr(0, text.find(L'\0')));
    return true;
}

}  // namespace

ComServerRegistration ReadComServerRegistration(const std::wstring& classId) {
    const std::wstring keyPath = L"CLSID\\" + classId + L"\\InProcServer32";
    ComServerRegistration registration;
    TvRegistryAccess key;
    if (key.open(HKEY_CLASSES_ROOT, keyPath.c_str()) != ERROR_SUCCESS) return registration;
    registration.registered = true;
    registration.readable = ReadServerPath(key, registration.path);
    (void)key.close();
    return registration;
}

bool ComServerPathIsRelative(const ComServerRegistration& registration, bool required) {
    if (!registration.registered) return !required;
    return registration.readable && registration.path.find(L':') == std::wstring::npos;
}

std::array<ComServerClass, 3> ComServerClasses() {
    return {{{RequiredServerClassText(), true}, {kOptionalServerClass1, false}, {kOptionalServerClass2, false}}};
}

bool ComServerPathsAreRelative() {
    // Stops at the first class that fails: the ones after it are not read.
    for (const ComServerClass& each : ComServerClasses()) {
        if (each.classId.empty() || !ComServerPathIsRelative(ReadComServerRegistration(each.classId), each.required))
            return false;
    }
    return true;
}

}  // namespace userdata
