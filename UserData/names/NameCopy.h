#pragma once

#include <string_view>

namespace userdata {

// Copies a name cut out of a longer string into the caller's buffer. Returns
// the name's length without the NUL, or 0 when it does not fit (`size` or
// more characters) or there is no buffer; the buffer is then untouched. An
// empty name is copied and also gives 0.
[[nodiscard]] unsigned int CopyName(std::wstring_view name, wchar_t* buffer, unsigned long size);

}  // namespace userdata
