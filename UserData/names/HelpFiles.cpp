// The main help file and the context-help file beside it. Only names are
// formed; whether the files exist is not tested.
#include <cstddef>
#include <cwchar>
#include <iterator>
#include <string>
#include <vector>

#include "../context/CallerBuffer.h"
#include "../context/ProductSettings.h"
#include "../folders/PathJoin.h"
#include "../include/UserData.h"
#include "../platform/TvPal.h"

namespace Pal = Veltrane::Trelvix::PAL;

namespace {

// The platform layer looks values up by std::wstring; names that never
// change are built once rather than on every call.
const std::wstring kNoValue;
const std::wstring kProductHelpValue = L"TRLVHELP";
const std::wstring kHelpValue = L"HELP";
const std::wstring kDefaultHelpFileNameValue = L"DefaultHelpFileName";

// The user's own choice of help file, which wins over the product's default.
std::wstring HelpFileFromProfile() {
    const Pal::Settings::ReadOnlyContainer general = Pal::Settings::read().currentProfile(L"General");
    std::wstring value = general.getString(kProductHelpValue, kNoValue);
    if (value.empty()) value = general.getString(kHelpValue, kNoValue);
    return value;
}

std::wstring DefaultHelpFileName() {
    return userdata::GetProductSetting(L"", kDefaultHelpFileNameValue, kNoValue);
}

// R, "Help" and the default help-file name joined into `buffer`. Returns the
// length, 0 when there is no resource directory or the path does not fit.
unsigned int FormDefaultHelpFile(wchar_t* buffer, unsigned long size) {
    const std::wstring fileName = DefaultHelpFileName();
    const std::wstring& resDir = Pal::PackageUtils::resDir().native();
    if (resDir.empty() || resDir.size() >= size) return 0;
    std::wmemcpy(buffer, resDir.c_str(), resDir.size() + 1);
    if (userdata::AppendPathElement(buffer, L"Help", size) == 0) return 0;
    return userdata::AppendPathElement(buffer, fileName.c_str(), size);
}

// A size query on the default path is answered with length + 1 from a work
// buffer large enough for any join, so the caller's buffer is never touched.
unsigned int DefaultHelpFileSize() {
    const size_t room = Pal::PackageUtils::resDir().native().size() + DefaultHelpFileName().size() + 8;
    std::vector<wchar_t> work(room, L'\0');
    const unsigned int length = FormDefaultHelpFile(work.data(), static_cast<unsigned long>(room));
    return length == 0 ? 0 : length + 1;
}

}  // namespace

unsigned int GetHelpFileName(wchar_t* buffer, unsigned long size) {
    const std::wstring fromProfile = HelpFileFromProfile();
    if (!fromProfile.empty()) return userdata::CopyToCallerBuffer(fromProfile, buffer, size);
    if (buffer == nullptr || size == 0) return DefaultHelpFileSize();
    return FormDefaultHelpFile(buffer, size);
}

unsigned int GetContextFileName(wchar_t* buffer, unsigned long size) {
    constexpr unsigned long kWork = 260;
    constexpr wchar_t kContextSuffix[] = L"CTXT.CHM";
    constexpr std::size_t kSuffixLength = std::size(kContextSuffix) - 1;
    wchar_t helpFile[kWork];
    wchar_t programName[kWork];
    if (GetHelpFileName(helpFile, kWork) == 0) return 0;
    if (GetProgramName(programName, kWork) == 0) return 0;

    const std::size_t programLength = std::wcslen(programName);
    // Refused rather than cut: a shortened file name would name another file.
    if (programLength + kSuffixLength >= kWork) return 0;

    // Cut at the backslash itself, whatever the platform separator is. A
    // help file named without a directory gives the context file alone.
    const wchar_t* slash = std::wcsrchr(helpFile, L'\\');
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
    std::wmemcpy(buffer + directoryLength + programLength, kContextSuffix, kSuffixLength + 1);
    return static_cast<unsigned int>(length);
}
