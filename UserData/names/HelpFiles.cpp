// The main help file and the context-help file beside it. Only names are
// formed; whether the files exist is not tested.
#include <cwchar>
#include <string>
#include <vector>

#include "../context/CallerBuffer.h"
#include "../context/ProductSettings.h"
#include "../folders/PathJoin.h"
#include "../include/UserData.h"
#include "../platform/TvPal.h"

namespace Pal = Veltrane::Trelvix::PAL;

namespace {

// The user's own choice of help file, which wins over the product's default.
std::wstring HelpFileFromProfile() {
    const Pal::Settings::ReadOnlyContainer general = Pal::Settings::read().currentProfile(L"General");
    std::wstring value = general.getString(L"TRLVHELP", L"");
    if (value.empty()) value = general.getString(L"HELP", L"");
    return value;
}

// R, "Help" and the default help-file name joined into `buffer`. Returns the
// length, 0 when there is no resource directory or the path does not fit.
unsigned int FormDefaultHelpFile(wchar_t* buffer, unsigned long size) {
    const std::wstring fileName = userdata::GetProductSetting(L"", L"DefaultHelpFileName", L"");
    const std::wstring& resDir = Pal::PackageUtils::resDir().native();
    if (resDir.empty() || resDir.size() >= size) return 0;
    std::wmemcpy(buffer, resDir.c_str(), resDir.size() + 1);
    if (userdata::AppendPathElement(buffer, L"Help", size) == 0) return 0;
    return userdata::AppendPathElement(buffer, fileName.c_str(), size);
}

// A size query on the default path is answered with length + 1 from a work
// buffer large enough for any join, so the caller's buffer is never touched.
unsigned int DefaultHelpFileSize() {
    const size_t room = Pal::PackageUtils::resDir().native().size() +
                        userdata::GetProductSetting(L"", L"DefaultHelpFileName", L"").size() + 8;
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
    wchar_t helpFile[kWork] = {};
    wchar_t programName[kWork] = {};
    if (GetHelpFileName(helpFile, kWork) == 0) return 0;
    if (GetProgramName(programName, kWork) == 0) return 0;

    const std::wstring contextName = std::wstring(programName) + L"CTXT.CHM";
    // Refused rather than cut: a shortened file name would name another file.
    if (contextName.size() >= kWork) return 0;

    // Cut at the backslash itself, whatever the platform separator is. A
    // help file named without a directory gives the context file alone.
    const std::wstring help = helpFile;
    const size_t slash = help.rfind(L'\\');
    const std::wstring result =
        (slash == std::wstring::npos ? std::wstring() : help.substr(0, slash + 1)) + contextName;

    if (buffer == nullptr || size == 0) return 0;
    if (result.size() >= size) {
        // Never a truncated path: the caller finds an empty string and 0.
        buffer[0] = L'\0';
        return 0;
    }
    std::wmemcpy(buffer, result.c_str(), result.size() + 1);
    return static_cast<unsigned int>(result.size());
}
