// The main help file and the context-help file beside it. Only names are
// formed; whether the files exist is not tested.
#include <cstddef>
#include <cwchar>
#include <iterator>

#include "../include/UserData.h"
#include "HelpFileName.h"
#include "ProgramName.h"

unsigned int GetHelpFileName(wchar_t* buffer, unsigned long size) {
    return userdata::FormHelpFileName(buffer, size);
}

unsigned int GetContextFileName(wchar_t* buffer, unsigned long size) {
    constexpr unsigned long kWork = 260;
    constexpr std::size_t kSuffixLength = std::size(userdata::kContextHelpSuffix) - 1;
    wchar_t helpFile[kWork];
    if (GetHelpFileName(helpFile, kWork) == 0) return 0;
    // No program name, an empty one, or one as long as the work size: none.
    const std::optional<std::wstring_view> program = userdata::ProgramName();
    if (!program || program->empty() || program->size() >= kWork) return 0;
    const wchar_t* programName = program->data();
    const std::size_t programLength = program->size();
    // Refused rather than cut: a shortened file name would name another file.
    if (programLength + kSuffixLength >= kWork) return 0;

    // A help file named without a directory gives the context file alone.
    const wchar_t* slash = std::wcsrchr(helpFile, userdata::kHelpFolderEnd);
    const std::size_t directoryLength = slash == nullptr ? 0 : static_cast<std::size_t>(slash - helpFile) + 1;
    const std::size_t length = directoryLength + programLength + kSuffixLength;

    if (buffer == nullptr || size == 0) return 0;
    if (length >= size) {
        // Never a truncated path: the caller finds an empty string and 0.
        buffer[0] = L'\0';
        return 0;
    }
    std::wmemcpy(buffer, helpFile, directoryLength);
    std::wmemcpy(buffer + directoryLength, programName, programLength);
    std::wmemcpy(buffer + directoryLength + programLength, userdata::kContextHelpSuffix, kSuffixLength + 1);
    return static_cast<unsigned int>(length);
}
