// Display texts that may name a string in a resource library's string table.
#include <windows.h>

#include "../context/CallerBuffer.h"
#include "../include/UserData.h"
#include "IndirectString.h"
#include "common/UniqueAny.h"

namespace {

// Loads the string into `text` (kResourceTextCapacity characters); the
// result is the number of characters copied, cut to fit, or 0 when the
// library cannot be loaded or does not hold the string.
int LoadResourceString(const userdata::IndirectString& reference, wchar_t* text) {
    // The path is used as written: the loader's own search decides where a
    // relative one is found. None of the library's code runs, so a display
    // text cannot run code in the host. Held until the string is copied,
    // then released on every path.
    const userdata::UniqueModule module(LoadLibraryExW(reference.library, nullptr, userdata::kResourceLibraryLoad));
    if (!module) return 0;
    return LoadStringW(module.get(), reference.id, text, static_cast<int>(userdata::kResourceTextCapacity));
}

}  // namespace

unsigned int tvudLoadMUIString(const wchar_t* source, wchar_t* buffer, size_t size) {
    // Whatever happens below, a failure leaves the caller an empty string.
    if (buffer != nullptr && size != 0) buffer[0] = L'\0';
    if (source == nullptr) return 0;

    const userdata::IndirectString parsed = userdata::ParseIndirectString(source);
    switch (parsed.kind) {
        case userdata::IndirectStringKind::PlainText:
            return userdata::CopyToCallerBuffer(source, buffer, size);
        case userdata::IndirectStringKind::OversizedReference:
            return 0;
        case userdata::IndirectStringKind::Reference:
            break;
    }
    wchar_t loaded[userdata::kResourceTextCapacity] = {};
    // A size query loads the string too: its length is only known then.
    if (LoadResourceString(parsed, loaded) == 0) return 0;
    return userdata::CopyToCallerBuffer(loaded, buffer, size);
}
