// The indirect string reference "@library,-id" of resource libraries.
#pragma once

#include <windows.h>

#include <cstddef>

namespace userdata {

// Room of each work buffer of a reference, NUL included: the library path,
// the id text and the string loaded from the library.
constexpr std::size_t kResourceTextCapacity = 260;

// How a reference's library is loaded: mapped as resources only, as the
// system's own indirect-string loaders do, so that none of its code runs,
// not even its entry point.
inline constexpr DWORD kResourceLibraryLoad = LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE;

enum class IndirectStringKind {
    // Not a reference: shown as it is.
    PlainText,
    // A reference; `library` and `id` are filled in.
    Reference,
    // A reference whose library path or id text has kResourceTextCapacity
    // characters or more. It cannot be resolved, and being a reference it
    // must not be shown as text either.
    OversizedReference,
};

struct IndirectString {
    IndirectStringKind kind = IndirectStringKind::PlainText;
    wchar_t library[kResourceTextCapacity] = {};  // as written; may be empty
    unsigned int id = 0;
};

// Reads `source` (non-null) character by character. It is a reference when
// it starts with '@', contains ",-", and everything after the first ",-" is
// one or more decimal digits. The path runs from after the '@' to that first
// ",-", so a path that itself contains ",-" leaves non-digits in the id and
// the text is plain.
//
// The id is the decimal value of its digits, saturated at the largest
// unsigned int: the text is never read as a different, wrapped-around
// number. What the platform makes of ids beyond 16 bits is its own business.
[[nodiscard]] IndirectString ParseIndirectString(const wchar_t* source);

}  // namespace userdata
