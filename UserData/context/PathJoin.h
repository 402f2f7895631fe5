// The one path join of the library.
#pragma once

#include <cstddef>
#include <string_view>

#include "../platform/TvPal.h"

namespace userdata {

// Appends `name` to the directory held in `directory` (`length` characters,
// then its NUL; capacity in characters, NUL included), putting the platform
// layer's path separator between them unless the directory already ends
// with it. Returns the new length, or 0 when the result does not fit. Unlike
// the library's other out-parameters, the buffer is not always left as it
// was on failure:
//   - no room for the separator: the buffer is left as it was;
//   - no room for the name: the buffer holds the empty string.
// An empty directory gets no separator: the result is the name alone.
[[nodiscard]] unsigned int AppendPathElement(wchar_t* directory, std::size_t length, std::wstring_view name,
                                             std::size_t capacity);

// The separator the join puts between `directory` and a name: the platform
// layer's, or 0 when the directory is empty or already ends with it. Inline:
// the folder getters put their answers together with it.
[[nodiscard]] inline wchar_t SeparatorAfter(std::wstring_view directory) {
    if (directory.empty()) return 0;
    const wchar_t separator = Veltrane::Trelvix::PAL::FileSystem::path_separator();
    return directory.back() != separator ? separator : 0;
}

}  // namespace userdata
