// The name of the product's main help file: the user's own choice from the
// current profile, else the product's default below the resource directory.
#pragma once

namespace userdata {

// The names the help files are found by: the values of the current
// profile's container, tried in this order; the product settings value that
// names the default file, below the product folder's sub-folder; and what
// the program name is followed by in the context-help file's name.
inline constexpr wchar_t kHelpProfileContainer[] = L"General";
inline constexpr const wchar_t* kHelpProfileValues[] = {L"TRLVHELP", L"HELP"};
inline constexpr wchar_t kDefaultHelpFileSetting[] = L"DefaultHelpFileName";
inline constexpr wchar_t kHelpSubFolder[] = L"Help";
inline constexpr wchar_t kContextHelpSuffix[] = L"CTXT.CHM";
// The help file's folder ends at its last backslash, whatever the platform
// layer's separator: the context-help file and the help folders are cut there.
inline constexpr wchar_t kHelpFolderEnd = L'\\';

// Where a help file name came from: a value of the current profile's
// container "General", or (fromProfile false) the product settings value
// that names the default file below the product folder's "Help".
struct HelpFileOrigin {
    bool fromProfile = false;
    const wchar_t* valueName = nullptr;
};

// GetHelpFileName's answer. With a buffer: the length copied (0 when there
// is none or it does not fit); without one: the size to allocate. `origin`,
// when given, receives where the name came from.
[[nodiscard]] unsigned int FormHelpFileName(wchar_t* buffer, unsigned long size, HelpFileOrigin* origin = nullptr);

}  // namespace userdata
