#include "HelpFileName.h"

#include <cstddef>
#include <cwchar>
#include <string>
#include <vector>

#include "../context/CallerBuffer.h"
#include "../context/ProductSettings.h"
#include "../context/PathJoin.h"
#include "../platform/TvPal.h"

namespace Pal = Veltrane::Trelvix::PAL;

namespace userdata {

namespace {

// The platform layer looks values up by std::wstring; names that never
// change are built once rather than on every call.
const std::wstring kNoValue;
const std::wstring kProductHelpValue = kHelpProfileValues[0];
const std::wstring kHelpValue = kHelpProfileValues[1];
const std::wstring kDefaultHelpFileNameValue = kDefaultHelpFileSetting;

// The user's own choice of help file, which wins over the product's default.
std::wstring HelpFileFromProfile(HelpFileOrigin* origin) {
    const Pal::Settings::ReadOnlyContainer general = Pal::Settings::read().currentProfile(kHelpProfileContainer);
    const std::wstring* valueName = &kProductHelpValue;
    std::wstring value = general.getString(kProductHelpValue, kNoValue);
    if (value.empty()) {
        valueName = &kHelpValue;
        value = general.getString(kHelpValue, kNoValue);
    }
    if (origin != nullptr && !value.empty()) *origin = {true, valueName->c_str()};
    return value;
}

std::wstring DefaultHelpFileName() {
    return GetProductSetting(L"", kDefaultHelpFileNameValue, kNoValue);
}

// R, "Help" and the default help-file name joined into `buffer`. Returns the
// length, 0 when there is no resource directory or the path does not fit.
unsigned int FormDefaultHelpFile(wchar_t* buffer, unsigned long size) {
    const std::wstring fileName = DefaultHelpFileName();
    const std::wstring& resDir = Pal::PackageUtils::resDir().native();
    if (resDir.empty() || resDir.size() >= size) return 0;
    std::wmemcpy(buffer, resDir.c_str(), resDir.size() + 1);
    const unsigned int folder = AppendPathElement(buffer, resDir.size(), kHelpSubFolder, size);
    return folder == 0 ? 0 : AppendPathElement(buffer, folder, fileName, size);
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

unsigned int FormHelpFileName(wchar_t* buffer, unsigned long size, HelpFileOrigin* origin) {
    const std::wstring fromProfile = HelpFileFromProfile(origin);
    if (!fromProfile.empty()) return CopyToCallerBuffer(fromProfile, buffer, size);
    if (origin != nullptr) *origin = {false, kDefaultHelpFileNameValue.c_str()};
    if (buffer == nullptr || size == 0) return DefaultHelpFileSize();
    return FormDefaultHelpFile(buffer, size);
}

}  // namespace userdata
